#include "host/framework/SafeFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <random>
#include <streambuf>
#include <vector>

#include <boost/filesystem/path.hpp>

#include "cf/FileBytes.h"
#include "cf/TempFolder.h"
#include "host/framework/OutputName.h"
#include "host/framework/StandardStreams.h"

namespace Host {
namespace {

// The random part of a scratch name: this many letters or digits.
constexpr size_t kSuffixLength = 6;
constexpr char kScratchMark[] = ".saving-";
// Tries at a free name before the folder is taken to refuse new names.
constexpr int kNameTries = 100;

// The mode a new file gets: read and write for all, less the process's umask.
mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The folder of path, for the scratch file and for syncing the rename.
std::string FolderOf(const std::string& path)
{
    const std::string folder = boost::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);  // makes the rename durable; some file systems refuse, which changes nothing
        ::close(fd);
    }
}

}  // namespace

// A target's scratch names: hidden, as much of the target's stem as leaves the whole within the
// longest name a folder takes, the mark, the random suffix and the target's extension (unless
// the extension alone would not leave room), e.g. ".report.saving-Ab12Cd.csv".
struct ScratchNames {
    ScratchNames(const std::string& folder, const boost::filesystem::path& target)
        : folder(folder), extension(target.extension().string())
    {
        std::string stem = target.stem().string();
        const size_t fixed = 1 + (sizeof kScratchMark - 1) + kSuffixLength;
        if (fixed + extension.size() > NAME_MAX) {
            stem = target.filename().string();
            extension.clear();
        }
        start = "." + stem.substr(0, NAME_MAX - fixed - extension.size()) + kScratchMark;
    }
    std::string Path(const std::string& suffix) const { return folder + "/" + start + suffix + extension; }
    bool Matches(const std::string& name) const
    {
        return name.size() == start.size() + kSuffixLength + extension.size() &&
               name.compare(0, start.size(), start) == 0 &&
               name.compare(name.size() - extension.size(), extension.size(), extension) == 0 &&
               std::all_of(name.begin() + start.size(), name.begin() + start.size() + kSuffixLength,
                           [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
    }

    std::string folder;
    std::string extension;
    std::string start;
};

namespace {

std::string RandomSuffix()
{
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 engine{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    std::string suffix(kSuffixLength, ' ');
    for (char& c : suffix)
        c = kLetters[pick(engine)];
    return suffix;
}

// Calls make with fresh scratch names until one is free; the name taken, or empty with errno set.
template <class Make>
std::string TakeFreeName(const ScratchNames& names, Make make)
{
    for (int i = 0; i < kNameTries; ++i) {
        const std::string name = names.Path(RandomSuffix());
        if (make(name))
            return name;
        if (errno != EEXIST)
            return {};
    }
    return {};
}

// A write holds a lock on its scratch file until the rename, and the system drops it when the
// process dies: a scratch file whose lock can be taken belongs to no running write.
void RemoveIfAbandoned(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat opened {}, named {};
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
        ::unlink(path.c_str());
    ::close(fd);
}

// Removes the scratch files of the target's earlier writes that died before their rename.
void RemoveAbandonedScratches(const ScratchNames& names)
{
    DIR* dir = ::opendir(names.folder.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* entry = ::readdir(dir))
        if (names.Matches(entry->d_name))
            RemoveIfAbandoned(names.folder + "/" + entry->d_name);
    ::closedir(dir);
}

// An unnamed file in folder that the process can also open by its descriptor's name, else -1.
int OpenUnnamed(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 && ::access(CF::DescriptorPath(fd).c_str(), W_OK) != 0) {
        ::close(fd);  // without /proc it could be neither reopened nor given a name
        return -1;
    }
    return fd;
}

}  // namespace

std::string SystemErrorText(int error)
{
    return std::strerror(error);
}

// An output buffer over the scratch file's descriptor that keeps the first write error.
class SafeFile::Buffer : public std::streambuf {
public:
    explicit Buffer(int fd) : mFd(fd), mBytes(1 << 16) { setp(mBytes.data(), mBytes.data() + mBytes.size()); }
    int Error() const { return mError; }

protected:
    int_type overflow(int_type c) override
    {
        if (Drain() != 0)
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof()))
            sputc(traits_type::to_char_type(c));
        return traits_type::not_eof(c);
    }
    int sync() override { return Drain(); }

private:
    int Drain()
    {
        if (mError == 0)
            mError = CF::WriteAll(mFd, pbase(), size_t(pptr() - pbase()));
        setp(mBytes.data(), mBytes.data() + mBytes.size());
        return mError == 0 ? 0 : -1;
    }

    int mFd;
    int mError = 0;
    std::vector<char> mBytes;
};

SafeFile::SafeFile(const std::string& target, Scratch scratch) : mTarget(target), mMode(NewFileMode())
{
    if (target.empty())
        throw FileWriteError("an empty name is not a file name");
    const OutputKind kind = OutputKindOf(target);
    if (kind == OutputKind::kSystem)
        throw FileWriteError(target + ": not written: a name under /dev or /proc is the system's (only /dev/stdout "
                                      "and /dev/stderr are written, to their streams)");
    mStreamFd = StreamDescriptor(kind);
    // Checked before the scratch file is made, which would otherwise take a closed stream's
    // descriptor and be copied onto itself.
    if (mStreamFd >= 0 && !StreamOpen(mStreamFd))
        throw FileWriteError(target + ": not written: " + StreamName(mStreamFd) + " is not open");
    struct stat existing {};
    if (mStreamFd < 0 && ::stat(target.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode))
            throw FileWriteError(target + ": not replaced: it exists and is not a regular file");
        // The permissions only: the set-user-ID, set-group-ID and sticky bits of a file another
        // may own would make the new file, which this process owns, run with this user's rights.
        mMode = existing.st_mode & 0777;
    }
    const boost::filesystem::path path(target);
    if (!path.has_filename() || path.filename() == "." || path.filename() == "..")
        throw FileWriteError(target + ": not a file name");
    // A stream's bytes wait in the temporary folder until they are whole.
    mNames = std::make_unique<ScratchNames>(mStreamFd < 0 ? FolderOf(target) : CF::TempFolder(), path);
    RemoveAbandonedScratches(*mNames);
    Create(scratch);
}

void SafeFile::Create(Scratch scratch)
{
    mFd = scratch == Scratch::kUnnamed ? OpenUnnamed(mNames->folder) : -1;
    if (mFd < 0) {
        const CF::SignalsHeld held;  // named and remembered at once
        mScratch = TakeFreeName(*mNames, [this](const std::string& name) {
            mFd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            return mFd >= 0;
        });
        if (mFd < 0)
            Fail(mStreamFd < 0 ? "cannot be written: no file can be made in its folder"
                               : "cannot be written: no file can be made in the temporary folder " +
                                     CF::TempFolderText(),
                 errno);
        mRemembered = CF::Leftovers::Remember(mScratch);
    }
    // The mark of a running write, taken before an unnamed file gets its name (a named one could
    // be seen a moment sooner). Where the file system takes no locks, the next write cannot take
    // one either and leaves every scratch file alone.
    ::flock(mFd, LOCK_EX | LOCK_NB);
    mPath = mScratch.empty() ? CF::DescriptorPath(mFd) : mScratch;
}

SafeFile::~SafeFile()
{
    Discard();
}

void SafeFile::CheckTarget(const std::string& target)
{
    const SafeFile probe(target);
}

std::ostream& SafeFile::Stream()
{
    if (!mStream) {
        mBuffer = std::make_unique<Buffer>(mFd);
        mStream = std::make_unique<std::ostream>(mBuffer.get());
    }
    return *mStream;
}

void SafeFile::Finish()
{
    if (mStream)
        mStream->flush();
    if (mBuffer && mBuffer->Error() != 0)
        Fail("cannot be written", mBuffer->Error());
    if (mStreamFd < 0) {
        // The target's mode only now: earlier, a read-only one would keep writers that open
        // the scratch file by name out of it.
        ::fchmod(mFd, mMode);
        if (::fsync(mFd) != 0)
            Fail("cannot be written to disk", errno);
    }
    mFinished = true;
}

void SafeFile::Commit()
{
    CommitTogether({this});
}

void SafeFile::CommitTogether(const std::vector<SafeFile*>& files)
{
    for (SafeFile* file : files)
        if (!file->mFinished)
            file->Finish();
    // Streams first, with the signals free: a reader that does not read must not keep a signal
    // from ending the process, and a stream that fails leaves every file as it was.
    for (SafeFile* file : files)
        if (file->mStreamFd >= 0)
            file->WriteToStream();
    const CF::SignalsHeld held;
    for (SafeFile* file : files)
        file->Name();
    for (SafeFile* file : files)
        file->PutInPlace();
}

// Gives an unnamed scratch file its name beside the target: a rename cannot take a file
// without one. Called with the signals held, so that the name is remembered as it is made.
void SafeFile::Name()
{
    if (!mScratch.empty() || mStreamFd >= 0)
        return;
    mScratch = TakeFreeName(*mNames, [this](const std::string& name) {
        return ::linkat(AT_FDCWD, mPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
    });
    if (mScratch.empty())
        Fail("cannot be put in place", errno);
    mRemembered = CF::Leftovers::Remember(mScratch);
}

void SafeFile::PutInPlace()
{
    if (mStreamFd >= 0)
        return;
    if (::rename(mScratch.c_str(), mTarget.c_str()) != 0)
        Fail("cannot be put in place", errno);
    CF::Leftovers::Forget(mRemembered);
    mRemembered = CF::Leftovers::kNone;
    // Closed after the rename, so that the scratch file is locked for as long as it has a name;
    // its bytes are on disk since the fsync.
    ::close(mFd);
    mFd = -1;
    mScratch.clear();
    SyncFolder(FolderOf(mTarget));
}

// Copies the whole scratch file to the stream, after what the program printed there before.
void SafeFile::WriteToStream()
{
    if (mStreamFd == STDOUT_FILENO) {
        std::cout.flush();
        std::fflush(stdout);
    }
    if (::lseek(mFd, 0, SEEK_SET) != 0)
        Fail("cannot be written", errno);
    std::vector<char> bytes(1 << 16);
    for (;;) {
        const ssize_t got = ::read(mFd, bytes.data(), bytes.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            Fail("cannot be written", errno);
        if (got == 0)
            break;
        if (const int error = CF::WriteAll(mStreamFd, bytes.data(), size_t(got)); error != 0)
            Fail("cannot be written", error);
    }
    Discard();
}

void SafeFile::Fail(const std::string& what, int error)
{
    Discard();
    throw FileWriteError(mTarget + ": " + what + ": " + SystemErrorText(error));
}

void SafeFile::Discard()
{
    if (mFd >= 0)
        ::close(mFd);
    mFd = -1;
    if (!mScratch.empty())
        ::unlink(mScratch.c_str());
    CF::Leftovers::Forget(mRemembered);  // after the unlink: a signal between finds nothing
    mRemembered = CF::Leftovers::kNone;
    mScratch.clear();
}

}  // namespace Host
