// The scratch files and folders of the system in a temporary folder: made under their kind's
// name, locked while their maker has them, and removed by the sweep only once their maker has
// gone; never anything else, whatever its name.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cf/Scratch.h"
#include "cf/TempFolder.h"
#include "support/ScopedVariable.h"
#include "support/TempFolder.h"
#include "web/BrowserProfile.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kKilledHost = "SPIRO_KILLED_SCRATCH_HOST";
constexpr int kReportFd = 9;
// A process number beyond any the system gives: no process of it runs here, as none of a host
// in another process-number namespace does.
const std::string kGone = "99999999";

// Whether another open file could take the lock on path now.
bool Lockable(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const bool taken = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (fd >= 0)
        ::close(fd);
    return taken;
}

// The system's own kinds are made under their patterns, locked while they are had, in a
// descriptor that no program the process runs inherits, and removed whole.
TEST(Scratch, IsMadeUnderItsKindsNameAndLockedUntilItIsRemoved)
{
    const TestSupport::TempFolder folder;
    const std::string in = folder.Path().string() + "/spiro-";
    const std::string pid = std::to_string(getpid()) + "-";
    const struct {
        CF::ScratchKind kind;
        std::string start;
        std::string suffix;
        bool isFolder;
    } kinds[] = {
        {CF::ScratchKind::kProfile, in + "chromium-" + pid, "", true},
        {CF::ScratchKind::kLink, in + "browser-" + pid, "", true},
        {CF::ScratchKind::kPicture, in + "view-" + pid, ".png", false},
        {CF::ScratchKind::kPrint, in + "view-" + pid, ".pdf", false},
    };
    for (const auto& k : kinds) {
        CF::Scratch scratch;
        ASSERT_TRUE(scratch.Make(folder.Path().string(), k.kind)) << k.start;
        const std::string path = scratch.Path();
        EXPECT_EQ(path.size(), k.start.size() + 6 + k.suffix.size()) << path;
        EXPECT_EQ(path.rfind(k.start, 0), 0u) << path;
        EXPECT_EQ(path.substr(path.size() - k.suffix.size()), k.suffix);
        EXPECT_EQ(fs::is_directory(fs::symlink_status(path)), k.isFolder) << path;
        EXPECT_FALSE(Lockable(path)) << path;
        if (k.isFolder)
            folder.Write(path.substr(folder.Path().string().size() + 1) + "/deep/file", "x");
        FILE* listing = ::popen("ls -l /proc/$$/fd", "r");
        ASSERT_NE(listing, nullptr);
        std::string fds(4096, '\0');
        fds.resize(std::fread(fds.data(), 1, fds.size(), listing));
        ::pclose(listing);
        EXPECT_EQ(fds.find(path), std::string::npos) << fds;
        scratch.Remove();
        EXPECT_FALSE(fs::exists(fs::symlink_status(path))) << path;
        EXPECT_EQ(scratch.Path(), "");
    }
    EXPECT_EQ(TestSupport::EntryNames(folder.Path()), std::vector<std::string>{});

    CF::Scratch missing;
    EXPECT_FALSE(missing.Make((folder.Path() / "missing").string(), CF::ScratchKind::kPicture));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(missing.Path(), "");
}

// Look-alike names a user or another program may give its own things, and things of the
// system's names but not of their kind's type or owner, all named after no running process:
// the sweep leaves every one. What has the shape, type and owner of the system's own, with no
// lock on it, is what a host killed outright left: it goes whole, and nothing a link in it leads
// to goes with it.
TEST(ScratchSweep, RemovesOnlyTheSystemsOwnThingsThatNoMakerHolds)
{
    const TestSupport::TempFolder folder;
    const auto at = [&](const std::string& name) { return (folder.Path() / name).string(); };
    const fs::path outside = folder.Write("outside/kept", "kept");
    std::vector<std::string> kept;
    const auto file = [&](const std::string& name) {
        folder.Write(name, "the user's");
        kept.push_back(name);
    };
    const auto folderOf = [&](const std::string& name) {
        folder.Write(name + "/recording.edf", "the user's");
        kept.push_back(name);
    };
    file("spiro-report-2025-12-08.csv");
    file("spiro-notes-31999-keep.txt");
    file("spiro-x-40000-big.txt");
    folderOf("spiro-study-2024-03");
    file("spiro-chromium-" + kGone + "-abcdef.txt");  // a folder kind's name with a suffix
    folderOf("spiro-view-" + kGone + "-abcdef.png");  // a file kind's name on a folder
    file("spiro-view-" + kGone + "-abcdef.txt");      // a suffix no view has
    file("spiro-view-" + kGone + "-abcdef");
    file("spiro-view-" + kGone + "-abcde.png");       // not the six letters of a made name
    file("spiro-browser-" + kGone + "-abcdef");       // a folder kind's name on a file
    folderOf("spiro-chromium-0" + kGone + "-abcdef");
    folderOf("spiro-chromium-" + kGone + "-abc-ef");
    folderOf("spiro-chromium-" + kGone + "-abcdefg");
    folderOf("spiro-Chromium-" + kGone + "-abcdef");
    folderOf("spiro-chromium--" + kGone + "-abcdef");
    fs::create_directory_symlink(outside.parent_path(), at("spiro-chromium-" + kGone + "-linked"));
    kept.push_back("spiro-chromium-" + kGone + "-linked");
    fs::create_symlink(outside, at("spiro-view-" + kGone + "-linked.png"));
    kept.push_back("spiro-view-" + kGone + "-linked.png");
    kept.push_back("outside");
    if (geteuid() == 0) {  // another user's
        for (const std::string& name : {"spiro-browser-" + kGone + "-nobody", "spiro-view-" + kGone + "-nobody.pdf"}) {
            name.find(".pdf") == std::string::npos ? folderOf(name) : file(name);
            ASSERT_EQ(::chown(at(name).c_str(), 65534, 65534), 0) << name;
        }
    }
    // Left by a host killed outright.
    folder.Write("spiro-chromium-" + kGone + "-Ab12Cd/home/.config/settings", "x");
    folder.Write("spiro-view-" + kGone + "-xyzXYZ.png", "");
    folder.Write("spiro-view-" + kGone + "-xyz123.pdf", "x");
    fs::create_directory(at("spiro-browser-" + kGone + "-Zz9Zz9"));
    fs::create_directory_symlink(outside.parent_path(), at("spiro-browser-" + kGone + "-Zz9Zz9/tmp"));

    CF::RemoveOrphans(folder.Path().string());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(TestSupport::EntryNames(folder.Path()), kept);
    EXPECT_EQ(TestSupport::EntryNames(at("spiro-study-2024-03")), std::vector<std::string>{"recording.edf"});
    EXPECT_TRUE(fs::exists(outside));
}

// A host in another process-number namespace sharing the folder: its number is no running
// process here, but it holds its things' locks. The sweep leaves them while it lives, and
// removes them once it has gone.
TEST(ScratchSweep, LeavesTheThingsOfALiveHostInAnotherNamespace)
{
    const TestSupport::TempFolder folder;
    const std::vector<std::string> names = {"spiro-chromium-" + kGone + "-abcdef", "spiro-browser-" + kGone + "-abcdef",
                                            "spiro-view-" + kGone + "-abcdef.png"};
    folder.Write(names[0] + "/tmp/SingletonLock", "x");
    fs::create_directory(folder.Path() / names[1]);
    folder.Write(names[2], "");
    std::vector<std::string> paths;
    for (const std::string& name : names)
        paths.push_back((folder.Path() / name).string());
    int ready[2], done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t host = ::fork();
    if (host == 0) {
        ::close(done[1]);
        for (const std::string& path : paths) {
            const int fd = ::open(path.c_str(), O_RDONLY);
            if (fd < 0 || ::flock(fd, LOCK_EX) != 0)
                _exit(2);
        }
        char c = 'r';
        if (::write(ready[1], &c, 1) != 1)
            _exit(2);
        (void)::read(done[0], &c, 1);  // until the test ends it
        _exit(0);
    }
    ::close(ready[1]);
    ::close(done[0]);
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ::close(ready[0]);

    CF::RemoveOrphans(folder.Path().string());
    EXPECT_EQ(TestSupport::EntryNames(folder.Path()), (std::vector<std::string>{names[1], names[0], names[2]}));
    EXPECT_TRUE(fs::exists(folder.Path() / names[0] / "tmp" / "SingletonLock"));

    ::close(done[1]);
    int status = 0;
    ASSERT_EQ(::waitpid(host, &status, 0), host);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    CF::RemoveOrphans(folder.Path().string());
    EXPECT_EQ(TestSupport::EntryNames(folder.Path()), std::vector<std::string>{});
}

// A host (this program again, running only the host below) killed outright with its profile, the
// folder of its scratch folder's short way (its TMPDIR is deep) and a picture made: the next
// browser's sweep removes them all.
TEST(ScratchSweep, RemovesWhatAHostKilledOutrightLeft)
{
    const TestSupport::TempFolder folder;
    const std::string tmp = (folder.Path() / std::string(60, 'd')).string();
    fs::create_directory(tmp);
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t host = ::fork();
    if (host == 0) {
        ::dup2(report[1], kReportFd);
        ::setenv(kKilledHost, "1", 1);
        ::setenv("TMPDIR", tmp.c_str(), 1);
        ::execl("/proc/self/exe", "test_platform", "--gtest_filter=KilledScratchHost.MakesItsThingsUntilKilled", nullptr);
        _exit(127);
    }
    ::close(report[1]);
    std::string said;
    char buffer[4096];
    for (ssize_t size; (size = ::read(report[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, size_t(size));
    ::close(report[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(host, &status, 0), host);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status << ": " << said;
    std::istringstream lines(said);
    std::vector<std::string> left;
    for (std::string line; std::getline(lines, line);)
        left.push_back(line);
    ASSERT_EQ(left.size(), 3u) << said;
    EXPECT_EQ(fs::path(left[0]).parent_path(), tmp);
    EXPECT_NE(fs::path(left[1]).parent_path(), tmp);  // in /tmp or /dev/shm
    for (const std::string& path : left)
        EXPECT_TRUE(fs::exists(fs::symlink_status(path))) << path;

    const TestSupport::ScopedVariable deep("TMPDIR", tmp);
    Web::BrowserProfile::SweepOrphans();
    for (const std::string& path : left)
        EXPECT_FALSE(fs::exists(fs::symlink_status(path))) << path;
    EXPECT_EQ(TestSupport::EntryNames(tmp), std::vector<std::string>{});
}

// The host of the test above: it reports the profile, the link's folder and the picture, then
// is killed.
TEST(KilledScratchHost, MakesItsThingsUntilKilled)
{
    if (std::getenv(kKilledHost) == nullptr)
        GTEST_SKIP() << "run by ScratchSweep.RemovesWhatAHostKilledOutrightLeft";
    Web::BrowserProfile profile;
    CF::Scratch picture;
    std::string error;
    if (!profile.Make(error) || !picture.Make(CF::TempFolder(), CF::ScratchKind::kPicture))
        _exit(2);
    const std::string said = profile.Folder() + "\n" + fs::path(profile.Scratch()).parent_path().string() + "\n" +
                             picture.Path() + "\n";
    if (::write(kReportFd, said.data(), said.size()) != ssize_t(said.size()))
        _exit(2);
    ::raise(SIGKILL);
}

}  // namespace
