// The browser's profile folder and the pages' scratch pictures in the temporary folder that
// TMPDIR names; the browser's home, settings, caches and scratch files inside its profile; what
// a browser that exits at once said last; and a signal that ends the process taking the browser
// and the scratch files along.
#include <gtest/gtest.h>

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "ProcessGroups.h"
#include "graphics/RecordingContext.h"
#include "support/ScopedVariable.h"
#include "support/TempFolder.h"
#include "web/Browser.h"
#include "web/InProcessPage.h"
#include "web/LastLines.h"
#include "web/LivePage.h"
#include "web/WebView.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kSignalledHost = "SPIRO_SIGNALLED_HOST";
constexpr const char* kRefusedHost = "SPIRO_REFUSED_HOST";
constexpr int kReportFd = 9;

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(LastLines, KeepsTheLastFewLinesShortAndWithoutTheirHeadings)
{
    Web::LastLines said;
    const std::string text = "zero\none\n[12:34:1207/202903.578144:ERROR:x.cc(10)] two\n\n \t\nthree\nfo";
    said.Take(text.data(), 20);  // in pieces, as a pipe gives it
    said.Take(text.data() + 20, text.size() - 20);
    EXPECT_EQ(said.Text(), "two / three / fo");

    Web::LastLines cut;  // a character is never cut in two
    const std::string wide = std::string(Web::LastLines::kLineBytes - 1, 'a') + "\xC3\xA9 and more\n";
    cut.Take(wide.data(), wide.size());
    EXPECT_EQ(cut.Text(), std::string(Web::LastLines::kLineBytes - 1, 'a'));

    Web::LastLines blank;
    blank.Take("\n\n", 2);
    EXPECT_EQ(blank.Text(), "");
}

// A browser that a fatal error ends is reported with that error, not with what its helpers
// wrote after it; an error that is not fatal is no such line.
TEST(LastLines, KeepTheFatalErrorWhateverCameAfterIt)
{
    Web::LastLines said;
    const std::string text =
        "[1:1:1207/232349.9:ERROR:bus.cc(405)] Failed to connect to the bus\n"
        "[27977:27977:1207/232349.962906:FATAL:chrome/browser/process_singleton_posix.cc:315] Socket path too "
        "long: /t/org.chromium.Chromium.xJcz5b/SingletonSocket\n"
        "[1207/232349.974676:ERROR:file_io_posix.cc:145] open /sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq: "
        "No such file or directory (2)\n"
        "[1207/232349.979321:ERROR:file_io_posix.cc:145] open /sys/devices/system/cpu/cpu0/cpufreq/scaling_max_freq: "
        "No such file or directory (2)\n"
        "[27997:27997:0100/000000.994649:ERROR:zygote_linux.cc:662] write: Broken pipe (32)\n";
    said.Take(text.data(), text.size());
    EXPECT_EQ(said.Text(), "Socket path too long: /t/org.chromium.Chromium.xJcz5b/SingletonSocket");

    Web::LastLines unheaded;  // the level counts in a log line's heading only
    const std::string plain = "[0] x\nsaid :FATAL: in passing\n[1:ERROR:a.cc(1)] after\nlast";
    unheaded.Take(plain.data(), plain.size());
    EXPECT_EQ(unheaded.Text(), "said :FATAL: in passing / after / last");
}

// A picture page: it notes the file it is to draw into and whether that file is there.
class NotingPage : public Web::InProcessPage {
public:
    explicit NotingPage(std::map<std::string, bool>& drawn) : mDrawn(drawn) {}
    bool RenderPNG(const std::string& path, int, int) override
    {
        mDrawn[path] = fs::exists(path);
        const char* signal = std::getenv(kSignalledHost);
        if (signal != nullptr && ::write(kReportFd, path.data(), path.size()) > 0)
            ::kill(getpid(), std::atoi(signal));
        return false;
    }

private:
    std::map<std::string, bool>& mDrawn;
};

// A web view draws its picture through a noting page; what the page was given, and the view's
// failure, if any.
struct Drawn {
    std::map<std::string, bool> files;
    std::string failure;
};

Drawn DrawPicture()
{
    Drawn drawn;
    Web::Page::SetFactory([&] { return std::make_unique<NotingPage>(drawn.files); });
    {
        Web::WebView view(AppKit::Rect{0, 0, 40, 30});
        view.LoadHTMLString("<p>picture</p>", "");
        Gfx::RecordingContext context(Gfx::Size{40, 30});
        view.DrawSelf(context);
        drawn.failure = view.DrawingFailure();
    }
    Web::Page::SetFactory(nullptr);
    return drawn;
}

class BrowserEnvironment : public ::testing::Test {
protected:
    void SetUp() override { Web::Browser::Shutdown(); }
    void TearDown() override
    {
        Web::Browser::Shutdown();
        Web::Page::SetFactory(nullptr);
    }
    std::string Path(const std::string& name) const { return (mFolder.Path() / name).string(); }
    // A browser stand-in: a shell script of these lines.
    std::string Script(const std::string& lines) const
    {
        const std::string path = Path("browser");
        std::ofstream(path) << "#!/bin/sh\n" << lines;
        fs::permissions(path, fs::perms::owner_all);
        return path;
    }

    TestSupport::TempFolder mFolder;
};

TEST_F(BrowserEnvironment, ABrowserThatExitsAtOnceIsReportedWithTheLastLinesItWrote)
{
    const TestSupport::ScopedVariable browser("SPIRO_CHROMIUM", Script("echo noise >&2\n"
                                                    "echo '[9:9:1207/202903.578144:ERROR:ps.cc(1046)] Failed to create "
                                                    "socket directory.' >&2\necho 'Aborting now.' >&2\nexit 21\n"));
    std::string error;
    EXPECT_EQ(Web::Browser::Shared(error), nullptr);
    EXPECT_EQ(error, "the browser did not start: the browser has exited, saying: noise / Failed to create socket "
                     "directory. / Aborting now.");
}

// The stand-in notes its environment and its profile folder, and which of its folders are made.
TEST_F(BrowserEnvironment, TheBrowserKeepsItsHomeAndScratchFilesInItsProfileUnderTmpdir)
{
    const std::string notes = Path("notes");
    fs::create_directory(Path("tmp"));
    const TestSupport::ScopedVariable tmp("TMPDIR", Path("tmp"));
    const TestSupport::ScopedVariable userHome("HOME", Path("no-home"));
    const TestSupport::ScopedVariable userCache("XDG_CACHE_HOME", Path("no-cache"));
    const TestSupport::ScopedVariable browser(
        "SPIRO_CHROMIUM",
        Script("for a in \"$@\"; do case $a in --user-data-dir=*) echo \"profile ${a#*=}\";; esac; done > " + notes +
               "\nfor v in HOME XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME XDG_STATE_HOME CHROME_CONFIG_HOME "
               "XDG_RUNTIME_DIR TMPDIR; do eval \"echo $v \\$$v\"; done >> " + notes +
               "\nfor d in \"$HOME\" \"$XDG_RUNTIME_DIR\" \"$TMPDIR\"; do test -d \"$d\" && echo made $d; done >> " +
               notes + "\necho scratch $(cd \"$TMPDIR\" && pwd -P) >> " + notes + "\nexit 3\n"));
    std::string error;
    EXPECT_EQ(Web::Browser::Shared(error), nullptr);
    const std::string noted = Read(notes);
    const std::string prefix = "profile " + Path("tmp") + "/spiro-chromium-" + std::to_string(getpid()) + "-";
    ASSERT_EQ(noted.rfind(prefix, 0), 0u) << noted;
    const std::string profile = noted.substr(8, noted.find('\n') - 8);
    const std::string home = profile + "/home";
    // Its scratch folder is the profile's, reached through a link where its path is long (below).
    const size_t at = noted.find("\nTMPDIR ") + 8;
    const std::string scratch = noted.substr(at, noted.find('\n', at) - at);
    EXPECT_EQ(noted, "profile " + profile + "\nHOME " + home + "\nXDG_CONFIG_HOME " + home +
                         "/.config\nXDG_CACHE_HOME " + home + "/.cache\nXDG_DATA_HOME " + home +
                         "/.local/share\nXDG_STATE_HOME " + home + "/.local/state\nCHROME_CONFIG_HOME " + home +
                         "/.config\nXDG_RUNTIME_DIR " + profile + "/run\nTMPDIR " + scratch + "\nmade " + home +
                         "\nmade " + profile + "/run\nmade " + scratch + "\nscratch " + profile + "/tmp\n");
    // The profile goes with the browser; the folders the user's variables name are never made.
    EXPECT_EQ(TestSupport::EntryNames(Path("tmp")), std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(Path("no-home")));
    EXPECT_FALSE(fs::exists(Path("no-cache")));
}

TEST_F(BrowserEnvironment, AMissingTmpdirIsNamedInTheMessage)
{
    const TestSupport::ScopedVariable tmp("TMPDIR", Path("missing"));
    const TestSupport::ScopedVariable browser("SPIRO_CHROMIUM", "/bin/false");
    std::string error;
    EXPECT_EQ(Web::Browser::Shared(error), nullptr);
    EXPECT_EQ(error, "cannot make the browser's profile folder in " + Path("missing") +
                         " (TMPDIR): No such file or directory");

    const Drawn drawn = DrawPicture();
    EXPECT_TRUE(drawn.files.empty());
    EXPECT_EQ(drawn.failure, "no file could be made in " + Path("missing") +
                                         " (TMPDIR) for the page's picture: No such file or directory");
}

TEST_F(BrowserEnvironment, ThePagesPicturesAreDrawnUnderTmpdir)
{
    fs::create_directory(Path("tmp"));
    const TestSupport::ScopedVariable tmp("TMPDIR", Path("tmp"));
    const Drawn drawn = DrawPicture();
    ASSERT_EQ(drawn.files.size(), 1u);
    const auto& [path, existed] = *drawn.files.begin();
    EXPECT_EQ(path.rfind(Path("tmp") + "/spiro-view-", 0), 0u) << path;
    EXPECT_EQ(fs::path(path).extension(), ".png");
    EXPECT_TRUE(existed);
    EXPECT_EQ(TestSupport::EntryNames(Path("tmp")), std::vector<std::string>{});
}

// The scratch files and folders of this system in folder that the process made.
std::vector<std::string> MadeBy(const fs::path& folder, pid_t maker)
{
    std::vector<std::string> made;
    for (const std::string& name : TestSupport::EntryNames(folder))
        if (name.rfind("spiro-", 0) == 0 && name.find("-" + std::to_string(maker) + "-") != std::string::npos)
            made.push_back(name);
    return made;
}

// The browser makes its sockets in its scratch folder ("org.chromium.Chromium.XXXXXX/
// SingletonSocket" in it), and a socket's path takes at most 107 bytes: whatever TMPDIR's
// length, the browser's TMPDIR leaves room for them. It is the profile's scratch folder, given
// as it is where that is short (in the system's /tmp), else through a link in a folder of its
// own in /tmp; what the browser writes there lands in the profile, and nothing is left.
TEST_F(BrowserEnvironment, TheBrowsersScratchFolderLeavesRoomForItsSocketsWhateverTmpdirsLength)
{
    const size_t kSocketInScratch = std::string("/org.chromium.Chromium.XXXXXX/SingletonSocket").size();
    const std::string notes = Path("notes");
    const TestSupport::ScopedVariable browser("SPIRO_CHROMIUM",
                           Script("for a in \"$@\"; do case $a in --user-data-dir=*) echo \"${a#*=}\";; esac; done > " +
                                  notes + "\necho \"$TMPDIR\" >> " + notes + "\necho scratch > \"$TMPDIR/file\"\n" +
                                  "cat \"$(cd \"$TMPDIR\" && pwd -P)/file\" >> " + notes + "\nexit 3\n"));
    const TestSupport::TempFolder shallow(TestSupport::TempFolder::ShortestBase());
    for (const size_t length : {size_t(4), size_t(48), size_t(80), size_t(120), size_t(300)}) {
        const std::string folder = length == 4 ? "/tmp" : shallow.MakeFolderOfLength(length).string();
        ASSERT_EQ(folder.size(), length);
        const TestSupport::ScopedVariable tmp("TMPDIR", folder);
        std::string error;
        EXPECT_EQ(Web::Browser::Shared(error), nullptr);
        std::istringstream noted(Read(notes));
        std::string profile, scratch, written;
        std::getline(noted, profile);
        std::getline(noted, scratch);
        std::getline(noted, written);
        EXPECT_EQ(profile.rfind(folder + "/spiro-chromium-" + std::to_string(getpid()) + "-", 0), 0u) << profile;
        EXPECT_LE(scratch.size() + kSocketInScratch, 107u) << scratch;
        EXPECT_EQ(written, "scratch") << length;
        if (length == 4)
            EXPECT_EQ(scratch, profile + "/tmp");
        else
            EXPECT_EQ(scratch.rfind("/tmp/spiro-browser-" + std::to_string(getpid()) + "-", 0), 0u) << scratch;
        EXPECT_EQ(MadeBy(folder, getpid()), std::vector<std::string>{}) << length;
        EXPECT_EQ(MadeBy("/tmp", getpid()), std::vector<std::string>{}) << length;
        fs::remove(notes);
    }
}

// With neither /tmp nor /dev/shm taking a folder (a host in a mount namespace of its own where
// both are read-only), a TMPDIR too long for the browser's sockets is refused before the browser
// starts, naming it and the length it may have.
TEST_F(BrowserEnvironment, ATmpdirTooLongForTheSocketsIsRefusedWhereNoShortFolderIsWritable)
{
    const std::string tmp = (mFolder.Path() / std::string(60, 'd')).string();
    fs::create_directory(tmp);
    const std::string notes = Path("notes");
    const std::string browser = Script("echo started > " + notes + "\nexit 3\n");
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t host = fork();
    if (host == 0) {
        const char* folder = mFolder.Path().c_str();
        if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("/tmp", "/tmp", nullptr, MS_BIND, nullptr) != 0 ||
            mount(nullptr, "/tmp", nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0 ||
            mount(folder, folder, nullptr, MS_BIND, nullptr) != 0 ||
            mount(nullptr, folder, nullptr, MS_REMOUNT | MS_BIND, nullptr) != 0 ||
            mount("none", "/dev/shm", "tmpfs", MS_RDONLY, nullptr) != 0)
            _exit(77);
        dup2(report[1], kReportFd);
        setenv(kRefusedHost, "1", 1);
        setenv("TMPDIR", tmp.c_str(), 1);
        setenv("SPIRO_CHROMIUM", browser.c_str(), 1);
        execl("/proc/self/exe", "test_platform", "--gtest_filter=RefusedHost.ReportsWhyItsBrowserDidNotStart", nullptr);
        _exit(127);
    }
    ::close(report[1]);
    char said[4096] = {};
    const ssize_t size = read(report[0], said, sizeof said - 1);
    ::close(report[0]);
    int status = 0;
    ASSERT_EQ(waitpid(host, &status, 0), host);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no mount namespace of its own for a test";
    EXPECT_GT(size, 0);
    const size_t profile = std::string("/spiro-chromium-" + std::to_string(host) + "-XXXXXX/tmp").size();
    EXPECT_EQ(said, "the temporary folder " + tmp + " (TMPDIR) is too long for the browser's sockets, whose paths may "
                    "take at most 107 bytes: one of up to " + std::to_string(51 - profile) + " bytes leaves room for "
                    "them; and no folder for a shorter way to them could be made in /tmp or /dev/shm: Read-only file "
                    "system");
    EXPECT_FALSE(fs::exists(notes));
    EXPECT_EQ(TestSupport::EntryNames(tmp), std::vector<std::string>{});
}

// The host of the test above.
TEST(RefusedHost, ReportsWhyItsBrowserDidNotStart)
{
    if (std::getenv(kRefusedHost) == nullptr)
        GTEST_SKIP() << "run by ATmpdirTooLongForTheSocketsIsRefusedWhereNoShortFolderIsWritable";
    std::string error;
    const bool started = Web::Browser::Shared(error) != nullptr;
    _exit(!started && write(kReportFd, error.data(), error.size()) == ssize_t(error.size()) ? 0 : 2);
}

// A host killed outright while a page's picture is drawn leaves the picture, named after it, as
// it leaves its browser's profile: the next browser removes both. Those of a live process, and
// files not named after a process, stay.
TEST_F(BrowserEnvironment, APictureOfAHostKilledOutrightGoesWithTheNextBrowser)
{
    fs::create_directory(Path("tmp"));
    const TestSupport::ScopedVariable tmp("TMPDIR", Path("tmp"));
    const std::string live = "spiro-view-" + std::to_string(getpid()) + "-abcdef.png";
    for (const std::string& name : {live, std::string("spiro-view-abcdef.png"), std::string("spiro-view-0-abcdef.png")})
        std::ofstream(Path("tmp/" + name)) << "kept";
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t host = fork();
    if (host == 0) {
        dup2(report[1], kReportFd);
        setenv(kSignalledHost, std::to_string(SIGKILL).c_str(), 1);
        execl("/proc/self/exe", "test_platform", "--gtest_filter=PictureHost.DrawsUntilItsSignal", nullptr);
        _exit(127);
    }
    ::close(report[1]);
    char picture[4096] = {};
    EXPECT_GT(read(report[0], picture, sizeof picture - 1), 0);
    ::close(report[0]);
    int status = 0;
    ASSERT_EQ(waitpid(host, &status, 0), host);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    EXPECT_EQ(std::string(picture).rfind(Path("tmp") + "/spiro-view-" + std::to_string(host) + "-", 0), 0u) << picture;
    EXPECT_TRUE(fs::exists(picture));

    const TestSupport::ScopedVariable browser("SPIRO_CHROMIUM", Script("exit 3\n"));
    std::string error;
    EXPECT_EQ(Web::Browser::Shared(error), nullptr);
    EXPECT_FALSE(fs::exists(picture));
    EXPECT_EQ(TestSupport::EntryNames(Path("tmp")), (std::vector<std::string>{"spiro-view-0-abcdef.png", live, "spiro-view-abcdef.png"}));
}

// The host of the test above: the picture's page sends the signal while it is drawn.
TEST(PictureHost, DrawsUntilItsSignal)
{
    if (std::getenv(kSignalledHost) == nullptr)
        GTEST_SKIP() << "run by APictureOfAHostKilledOutrightGoesWithTheNextBrowser";
    DrawPicture();
    _exit(3);  // the signal did not end it
}

// SIGINT, SIGTERM and SIGHUP in turn end a host (this program again, running only the host
// below) while its browser runs and a page's picture is being drawn: the host ends by the
// signal, and neither the browser nor anything of the host's in the temporary folder is left.
TEST_F(BrowserEnvironment, ASignalThatEndsTheHostTakesTheBrowserAndTheScratchFilesAlong)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    fs::create_directory(Path("tmp"));
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        int report[2];
        ASSERT_EQ(pipe(report), 0);
        const pid_t host = fork();
        if (host == 0) {
            dup2(report[1], kReportFd);
            for (const int s : {SIGINT, SIGTERM, SIGHUP})
                ::signal(s, SIG_DFL);
            setenv(kSignalledHost, std::to_string(signal).c_str(), 1);
            setenv("TMPDIR", Path("tmp").c_str(), 1);
            execl("/proc/self/exe", "test_platform", "--gtest_filter=SignalledHost.RunsItsBrowserUntilTheSignal", nullptr);
            _exit(127);
        }
        ::close(report[1]);
        pid_t browser = 0;
        ASSERT_EQ(read(report[0], &browser, sizeof browser), ssize_t(sizeof browser)) << strsignal(signal);
        char picture[4096] = {};
        EXPECT_GT(read(report[0], picture, sizeof picture - 1), 0);
        ::close(report[0]);
        int status = 0;
        ASSERT_EQ(waitpid(host, &status, 0), host);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << strsignal(signal) << ": " << status;
        EXPECT_EQ(std::string(picture).rfind(Path("tmp") + "/spiro-view-", 0), 0u) << picture;
        EXPECT_EQ(TestSupport::EntryNames(Path("tmp")), std::vector<std::string>{}) << strsignal(signal);
        // The host killed the group and waited for the browser; its helpers die a moment later.
        EXPECT_TRUE(ProcessGroups::GroupGoneWithin(browser, std::chrono::seconds(2))) << strsignal(signal);
        fs::remove_all(Path("tmp"));
        fs::create_directory(Path("tmp"));
    }
}

// The host of the test above: its browser runs (it reports it) when a picture's page sends the
// signal while the picture is drawn.
TEST(SignalledHost, RunsItsBrowserUntilTheSignal)
{
    if (std::getenv(kSignalledHost) == nullptr)
        GTEST_SKIP() << "run by ASignalThatEndsTheHostTakesTheBrowserAndTheScratchFilesAlong";
    Web::LivePage page;
    const pid_t browser = page.LoadHTML("<p>signalled</p>", "") ? Web::Browser::Current()->ProcessId() : 0;
    if (write(kReportFd, &browser, sizeof browser) != ssize_t(sizeof browser) || browser == 0)
        _exit(2);
    DrawPicture();
    _exit(3);  // the signal did not end it
}

}  // namespace
