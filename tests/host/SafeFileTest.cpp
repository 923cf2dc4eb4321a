// The host's one way of writing a file: the target changes only by a whole new file put in its
// place; a failed write leaves the old file and no scratch file, and a scratch file a dead write
// left is removed by the next; any name the folder takes is written; targets that are not
// regular files are refused; links are replaced, not followed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "cf/FileBytes.h"
#include "host/framework/SafeFile.h"

namespace {

namespace fs = std::filesystem;

class SafeFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = ::testing::TempDir() + "safefile_" + std::to_string(getpid());
        fs::remove_all(folder);
        fs::create_directory(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string Path(const std::string& name) const { return folder + "/" + name; }
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string folder;
};

std::string Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST_F(SafeFileTest, TargetChangesOnlyAtCommit)
{
    const std::string target = Path("report.csv");
    std::ofstream(target) << "old";
    ::chmod(target.c_str(), 0640);
    {
        Host::SafeFile file(target);
        file.Stream() << "new";
        file.Stream().flush();
        EXPECT_EQ(Read(target), "old");
        // The scratch file has no name in the folder until it is put in place.
        EXPECT_EQ(Files(), std::vector<std::string>{"report.csv"});
        file.Commit();
    }
    EXPECT_EQ(Read(target), "new");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);  // the file it replaced kept its permissions
    EXPECT_EQ(Files(), std::vector<std::string>{"report.csv"});

    {
        Host::SafeFile abandoned(target);
        abandoned.Stream() << "partial";
    }
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(Files(), std::vector<std::string>{"report.csv"});
}

// A file written over keeps its permissions, never its set-user-ID, set-group-ID or sticky bit:
// the new file belongs to the writer, who would lend it their rights.
TEST_F(SafeFileTest, OnlyThePermissionsOfTheOldFileAreKept)
{
    const std::string target = Path("tool");
    std::ofstream(target) << "old";
    ASSERT_EQ(::chmod(target.c_str(), 07755), 0);
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    ASSERT_NE(st.st_mode & 06000, 0u) << "the file system keeps no set-ID bits";
    Host::SafeFile file(target);
    file.Stream() << "new";
    file.Commit();
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
}

// A named scratch file, for a path others see, lies beside the target with its extension.
TEST_F(SafeFileTest, ANamedScratchFileKeepsTheExtension)
{
    const std::string target = Path("report.csv");
    Host::SafeFile file(target, Host::SafeFile::Scratch::kNamed);
    EXPECT_EQ(fs::path(file.ScratchPath()).parent_path(), fs::path(folder));
    EXPECT_EQ(fs::path(file.ScratchPath()).extension(), ".csv");
    EXPECT_EQ(fs::path(file.ScratchPath()).filename().string().rfind(".report.saving-", 0), 0u);
    std::ofstream(file.ScratchPath()) << "new";
    file.Commit();
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(Files(), std::vector<std::string>{"report.csv"});
}

// Writers that open the scratch file by name (a picture's, a printed page's, a document's)
// reach the file that is put in place, through the descriptor's name while it has no other.
TEST_F(SafeFileTest, WritersByNameReachTheScratchFile)
{
    const std::string target = Path("page.pdf");
    std::ofstream(target) << "old";
    ::chmod(target.c_str(), 0444);  // the writers still get in; the new file keeps the mode
    {
        Host::SafeFile file(target);
        ASSERT_TRUE(CF::WriteFileBytes(file.ScratchPath(), "%PDF-1.4 page"));
        std::ofstream(file.ScratchPath(), std::ios::app) << " and more";
        EXPECT_EQ(Read(target), "old");
        file.Commit();
    }
    EXPECT_EQ(Read(target), "%PDF-1.4 page and more");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    EXPECT_EQ(Files(), std::vector<std::string>{"page.pdf"});
}

// The longest name a folder takes can be written: the scratch file's name is never longer.
TEST_F(SafeFileTest, TheLongestNameIsWritten)
{
    using Scratch = Host::SafeFile::Scratch;
    const std::vector<std::string> names = {std::string(NAME_MAX - 11, 'n') + ".csv",
                                            std::string(NAME_MAX - 4, 'n') + ".csv",
                                            "n." + std::string(NAME_MAX - 2, 'x')};  // all extension
    for (const Scratch scratch : {Scratch::kUnnamed, Scratch::kNamed}) {
        for (const std::string& name : names) {
            Host::SafeFile file(Path(name), scratch);
            file.Stream() << name.size();
            file.Commit();
            EXPECT_EQ(Read(Path(name)), std::to_string(name.size()));
            EXPECT_EQ(Files(), std::vector<std::string>{name});
            fs::remove(Path(name));
        }
    }
}

// A scratch file of the target that no running write holds was left by a write that died before
// its rename: the next write removes it. One a write holds, and a link or a folder at such a
// name, are left alone.
TEST_F(SafeFileTest, ScratchFilesLeftBehindAreRemovedByTheNextWrite)
{
    const std::string victim = Path("victim"), left = Path(".out.saving-Ab12Cd.csv");
    const std::string held = Path(".out.saving-Hh00Hh.csv");
    std::ofstream(victim) << "precious";
    std::ofstream(left) << "half a file";
    std::ofstream(held) << "being written";
    ASSERT_EQ(::symlink(victim.c_str(), Path(".out.saving-Ll11Ll.csv").c_str()), 0);
    fs::create_directory(Path(".out.saving-Dd22Dd.csv"));
    std::ofstream(Path(".out.saving-long-suffix.csv")) << "not of the pattern";
    std::ofstream(Path(".out.saving-ab_cd!.csv")) << "not of the pattern";
    std::ofstream(Path(".out.saving-Ab12Cd.txt")) << "another target's";
    const int lock = ::open(held.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    Host::SafeFile file(Path("out.csv"));
    file.Stream() << "new";
    file.Commit();
    ::close(lock);
    EXPECT_EQ(Files(), (std::vector<std::string>{".out.saving-Ab12Cd.txt", ".out.saving-Dd22Dd.csv",
                                                 ".out.saving-Hh00Hh.csv", ".out.saving-Ll11Ll.csv",
                                                 ".out.saving-ab_cd!.csv", ".out.saving-long-suffix.csv", "out.csv",
                                                 "victim"}));
    EXPECT_EQ(Read(victim), "precious");
}

// Saves to one path at once each write their own scratch file: the last rename wins whole.
TEST_F(SafeFileTest, SavesAtOnceNeverMix)
{
    const std::string target = Path("doc.spd");
    Host::SafeFile first(target), second(target);
    EXPECT_NE(first.ScratchPath(), second.ScratchPath());
    first.Stream() << std::string(100000, 'a');
    second.Stream() << std::string(50000, 'b');
    second.Commit();
    first.Commit();
    EXPECT_EQ(Read(target), std::string(100000, 'a'));
}

TEST_F(SafeFileTest, TargetsThatAreNotRegularFilesAreRefused)
{
    ASSERT_EQ(::symlink("/dev/null", Path("device").c_str()), 0);
    for (const std::string& target : {Path("device"), folder, Path("fifo")}) {
        if (target == Path("fifo")) {
            ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
        }
        try {
            Host::SafeFile file(target);
            ADD_FAILURE() << target << " was taken";
        } catch (const Host::FileWriteError& e) {
            EXPECT_EQ(std::string(e.what()), target + ": not replaced: it exists and is not a regular file");
        }
    }
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

// Nothing is made or replaced under /dev or /proc. Only names that no write could reach before
// either are tried here: the machine's /dev is never written by a test.
TEST_F(SafeFileTest, TheSystemsNamesAreRefused)
{
    for (const std::string& target : {std::string("/dev/null"), std::string("/proc/self/fd/9"),
                                      std::string("/proc/self/status"), std::string("/proc/../dev/null")}) {
        try {
            Host::SafeFile::CheckTarget(target);
            ADD_FAILURE() << target << " was taken";
        } catch (const Host::FileWriteError& e) {
            EXPECT_EQ(std::string(e.what()), target + ": not written: a name under /dev or /proc is the system's (only "
                                                      "/dev/stdout and /dev/stderr are written, to their streams)");
        }
    }
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

// TMPDIR set to value while it lives, and put back after.
class TempFolderSet {
public:
    explicit TempFolderSet(const std::string& value)
    {
        if (const char* old = std::getenv("TMPDIR"))
            mOld = old;
        ::setenv("TMPDIR", value.c_str(), 1);
    }
    ~TempFolderSet()
    {
        if (mOld)
            ::setenv("TMPDIR", mOld->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }

private:
    std::optional<std::string> mOld;
};

// Standard error, however named, gets the whole file once committed, and nothing otherwise; its
// scratch file, named or not, waits in the temporary folder (the test's folder here) and is gone
// as soon as it is written, or dropped. The stream is a pipe here, which a write that took the name for a file
// would refuse.
TEST_F(SafeFileTest, AStandardStreamIsWrittenWhenCommitted)
{
    const TempFolderSet temporary(folder);
    int pipe[2];
    ASSERT_EQ(::pipe2(pipe, O_NONBLOCK), 0);
    const int saved = ::dup(STDERR_FILENO);
    ASSERT_GE(saved, 0);
    ::dup2(pipe[1], STDERR_FILENO);
    std::vector<std::string> failures, scratchFolders;
    for (const std::string& target : {std::string("/dev/stderr"), std::string("/dev/fd/2")}) {
        for (const auto scratch : {Host::SafeFile::Scratch::kUnnamed, Host::SafeFile::Scratch::kNamed}) {
            try {
                {
                    Host::SafeFile dropped(target, scratch);
                    dropped.Stream() << "never";
                }
                Host::SafeFile file(target, scratch);
                if (scratch == Host::SafeFile::Scratch::kNamed)
                    scratchFolders.push_back(fs::path(file.ScratchPath()).parent_path().string());
                file.Stream() << "whole " << target << "\n";
                file.Commit();
                EXPECT_EQ(Files(), std::vector<std::string>{}) << target << ": the scratch file outlived its write";
            } catch (const Host::FileWriteError& e) {
                failures.push_back(e.what());
            }
        }
    }
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    char bytes[256] = {};
    const ssize_t got = ::read(pipe[0], bytes, sizeof bytes - 1);
    ::close(pipe[0]);
    ::close(pipe[1]);
    EXPECT_EQ(failures, std::vector<std::string>{});
    EXPECT_EQ(std::string(bytes, size_t(std::max<ssize_t>(got, 0))),
              "whole /dev/stderr\nwhole /dev/stderr\nwhole /dev/fd/2\nwhole /dev/fd/2\n");
    EXPECT_EQ(scratchFolders, (std::vector<std::string>{folder, folder}));
    EXPECT_EQ(Files(), std::vector<std::string>{});
}

// A stream that is not open is refused before anything is made: a scratch file would take its
// descriptor and be copied onto itself.
TEST_F(SafeFileTest, AStreamThatIsNotOpenIsRefused)
{
    const TempFolderSet temporary(folder);
    const int saved = ::dup(STDERR_FILENO);
    ASSERT_GE(saved, 0);
    ::close(STDERR_FILENO);
    std::vector<std::string> messages;
    for (const std::string& target : {std::string("/dev/stderr"), std::string("/proc/self/fd/2")}) {
        try {
            Host::SafeFile file(target);
            file.Stream() << "lost";
            file.Commit();
            messages.push_back(target + ": written");
        } catch (const Host::FileWriteError& e) {
            messages.push_back(e.what());
        }
    }
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    EXPECT_EQ(messages, (std::vector<std::string>{"/dev/stderr: not written: standard error is not open",
                                                  "/proc/self/fd/2: not written: standard error is not open"}));
    EXPECT_EQ(Files(), std::vector<std::string>{});
}

// A stream's scratch file is made in the temporary folder, which the message names as TMPDIR.
TEST_F(SafeFileTest, ATemporaryFolderThatTakesNoFileIsNamed)
{
    const std::string missing = Path("missing");
    const TempFolderSet temporary(missing);
    try {
        Host::SafeFile::CheckTarget("/dev/stderr");
        ADD_FAILURE() << "a stream was taken without a temporary folder";
    } catch (const Host::FileWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "/dev/stderr: cannot be written: no file can be made in the temporary folder " +
                                             missing + " (TMPDIR): " + std::strerror(ENOENT));
    }
}

// A link at the target is replaced by the new file; what it pointed to is left alone.
TEST_F(SafeFileTest, LinkIsReplacedNotFollowed)
{
    const std::string victim = Path("victim"), link = Path("out.txt");
    std::ofstream(victim) << "precious";
    ASSERT_EQ(::symlink(victim.c_str(), link.c_str()), 0);
    Host::SafeFile file(link);
    file.Stream() << "written";
    file.Commit();
    EXPECT_EQ(Read(victim), "precious");
    EXPECT_FALSE(fs::is_symlink(link));
    EXPECT_EQ(Read(link), "written");
}

// A file-size limit fails writes as a full disk does: the error is reported in the system's
// words, the old file stays and no scratch file is left.
TEST_F(SafeFileTest, FailedWriteLeavesTheOldFile)
{
    const std::string target = Path("samples.txt");
    std::ofstream(target) << "old";
    rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    std::string message;
    try {
        Host::SafeFile file(target);
        file.Stream() << std::string(200000, 'x');
        file.Commit();
    } catch (const Host::FileWriteError& e) {
        message = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(message, target + ": cannot be written: " + std::strerror(EFBIG));
    EXPECT_EQ(Read(target), "old");
    EXPECT_EQ(Files(), std::vector<std::string>{"samples.txt"});
}

// Files written together: each is finished, its bytes on disk, before either is named beside its
// target and put in place, so that a write killed before then leaves nothing in the folder; a
// file that fails to finish leaves every target as it was, and a finished file never committed
// leaves nothing.
TEST_F(SafeFileTest, FilesFinishedTogetherChangeTheirTargetsOnlyAtCommit)
{
    const std::string recording = Path("rec.edf"), figures = Path("figures.csv");
    std::ofstream(recording) << "old recording";
    std::ofstream(figures) << "old figures";
    {
        Host::SafeFile first(recording), second(figures);
        first.Stream() << "new recording";
        second.Stream() << "new figures";
        second.Finish();
        first.Finish();
        EXPECT_EQ(Read(recording), "old recording");
        EXPECT_EQ(Files(), (std::vector<std::string>{"figures.csv", "rec.edf"}));
        Host::SafeFile::CommitTogether({&second, &first});
    }
    EXPECT_EQ(Read(recording), "new recording");
    EXPECT_EQ(Read(figures), "new figures");
    EXPECT_EQ(Files(), (std::vector<std::string>{"figures.csv", "rec.edf"}));

    rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    std::string message;
    try {
        Host::SafeFile first(recording), second(figures);
        first.Stream() << "newer recording";
        first.Finish();
        ::setrlimit(RLIMIT_FSIZE, &small);
        second.Stream() << std::string(200000, 'x');
        second.Finish();
        first.Commit();
        second.Commit();
    } catch (const Host::FileWriteError& e) {
        message = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(message, figures + ": cannot be written: " + std::strerror(EFBIG));
    EXPECT_EQ(Read(recording), "new recording");
    EXPECT_EQ(Read(figures), "new figures");
    EXPECT_EQ(Files(), (std::vector<std::string>{"figures.csv", "rec.edf"}));
}

// The check a long command makes before its work: the constructor's verdict, and nothing left.
TEST_F(SafeFileTest, TargetsAreCheckedAheadWithoutATrace)
{
    const std::string fifo = Path("fifo"), old = Path("old.csv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(old) << "old";
    ASSERT_EQ(::symlink("/dev/null", Path("device").c_str()), 0);
    for (const std::string& target : {Path("device"), folder, fifo}) {
        try {
            Host::SafeFile::CheckTarget(target);
            ADD_FAILURE() << target << " was taken";
        } catch (const Host::FileWriteError& e) {
            EXPECT_EQ(std::string(e.what()), target + ": not replaced: it exists and is not a regular file");
        }
    }
    EXPECT_THROW(Host::SafeFile::CheckTarget(Path("missing/out.csv")), Host::FileWriteError);
    Host::SafeFile::CheckTarget(old);
    Host::SafeFile::CheckTarget(Path("new.csv"));
    EXPECT_EQ(Files(), (std::vector<std::string>{"device", "fifo", "old.csv"}));
    EXPECT_EQ(Read(old), "old");
}

TEST_F(SafeFileTest, FolderThatTakesNoFileIsReported)
{
    const std::string target = Path("missing/out.csv");
    try {
        Host::SafeFile file(target);
        ADD_FAILURE() << "a file was made in a missing folder";
    } catch (const Host::FileWriteError& e) {
        EXPECT_EQ(std::string(e.what()),
                  target + ": cannot be written: no file can be made in its folder: " + std::strerror(ENOENT));
    }
}

}  // namespace
