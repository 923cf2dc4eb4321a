#include "host/framework/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <streambuf>
#include <vector>

#include <boost/filesystem/path.hpp>

#include "cf/FileBytes.h"

namespace Host {
namespace {

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

SafeFile::SafeFile(const std::string& target) : mTarget(target)
{
    struct stat existing {};
    mode_t mode = NewFileMode();
    if (::stat(target.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode))
            throw FileWriteError(target + ": not replaced: it exists and is not a regular file");
        mode = existing.st_mode & 07777;
    }
    const boost::filesystem::path path(target);
    if (!path.has_filename() || path.filename() == "." || path.filename() == "..")
        throw FileWriteError(target + ": not a file name");
    std::string pattern = FolderOf(target) + "/." + path.stem().string() + "-XXXXXX";
    const std::string extension = path.extension().string();
    pattern += extension;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    mFd = ::mkostemps(name.data(), int(extension.size()), O_CLOEXEC);
    if (mFd < 0)
        Fail("cannot be written: no file can be made in its folder", errno);
    mScratch = name.data();
    ::fchmod(mFd, mode);
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

void SafeFile::Commit()
{
    if (mStream)
        mStream->flush();
    if (mBuffer && mBuffer->Error() != 0)
        Fail("cannot be written", mBuffer->Error());
    if (::fsync(mFd) != 0)
        Fail("cannot be written to disk", errno);
    const int fd = mFd;
    mFd = -1;
    if (::close(fd) != 0)
        Fail("cannot be written to disk", errno);
    if (::rename(mScratch.c_str(), mTarget.c_str()) != 0)
        Fail("cannot be put in place", errno);
    mScratch.clear();
    SyncFolder(FolderOf(mTarget));
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
    mScratch.clear();
}

}  // namespace Host
