// The browser's profile folder and the pages' scratch pictures in the temporary folder that
// TMPDIR names; the browser's home, settings, caches and scratch files inside its profile; what
// a browser that exits at once said last; and a signal that ends the process taking the browser
// and the scratch files along.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "ProcessGroups.h"
#include "graphics/RecordingContext.h"
#include "support/TempFolder.h"
#include "web/Browser.h"
#include "web/InProcessPage.h"
#include "web/LastLines.h"
#include "web/LivePage.h"
#include "web/WebView.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kSignalledHost = "SPIRO_SIGNALLED_HOST";
constexpr int kReportFd = 9;

// An environment variable set while it lives, then as it was.
class Variable {
public:
    Variable(const char* name, const std::string& value) : mName(name)
    {
        const char* was = std::getenv(name);
        mWas = was != nullptr ? std::make_unique<std::string>(was) : nullptr;
        ::setenv(name, value.c_str(), 1);
    }
    ~Variable() { mWas != nullptr ? ::setenv(mName, mWas->c_str(), 1) : ::unsetenv(mName); }

private:
    const char* mName;
    std::unique_ptr<std::string> mWas;
};

std::vector<std::string> Names(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

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
    const Variable browser("SPIRO_CHROMIUM", Script("echo noise >&2\n"
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
    const Variable tmp("TMPDIR", Path("tmp"));
    const Variable userHome("HOME", Path("no-home"));
    const Variable userCache("XDG_CACHE_HOME", Path("no-cache"));
    const Variable browser(
        "SPIRO_CHROMIUM",
        Script("for a in \"$@\"; do case $a in --user-data-dir=*) echo \"profile ${a#*=}\";; esac; done > " + notes +
               "\nfor v in HOME XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME XDG_STATE_HOME CHROME_CONFIG_HOME "
               "XDG_RUNTIME_DIR TMPDIR; do eval \"echo $v \\$$v\"; done >> " + notes +
               "\nfor d in \"$HOME\" \"$XDG_RUNTIME_DIR\" \"$TMPDIR\"; do test -d \"$d\" && echo made $d; done >> " +
               notes + "\nexit 3\n"));
    std::string error;
    EXPECT_EQ(Web::Browser::Shared(error), nullptr);
    const std::string noted = Read(notes);
    const std::string prefix = "profile " + Path("tmp") + "/spiro-chromium-" + std::to_string(getpid()) + "-";
    ASSERT_EQ(noted.rfind(prefix, 0), 0u) << noted;
    const std::string profile = noted.substr(8, noted.find('\n') - 8);
    const std::string home = profile + "/home";
    EXPECT_EQ(noted, "profile " + profile + "\nHOME " + home + "\nXDG_CONFIG_HOME " + home +
                         "/.config\nXDG_CACHE_HOME " + home + "/.cache\nXDG_DATA_HOME " + home +
                         "/.local/share\nXDG_STATE_HOME " + home + "/.local/state\nCHROME_CONFIG_HOME " + home +
                         "/.config\nXDG_RUNTIME_DIR " + profile + "/run\nTMPDIR " + profile + "/tmp\nmade " + home +
                         "\nmade " + profile + "/run\nmade " + profile + "/tmp\n");
    // The profile goes with the browser; the folders the user's variables name are never made.
    EXPECT_EQ(Names(Path("tmp")), std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(Path("no-home")));
    EXPECT_FALSE(fs::exists(Path("no-cache")));
}

TEST_F(BrowserEnvironment, AMissingTmpdirIsNamedInTheMessage)
{
    const Variable tmp("TMPDIR", Path("missing"));
    const Variable browser("SPIRO_CHROMIUM", "/bin/false");
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
    const Variable tmp("TMPDIR", Path("tmp"));
    const Drawn drawn = DrawPicture();
    ASSERT_EQ(drawn.files.size(), 1u);
    const auto& [path, existed] = *drawn.files.begin();
    EXPECT_EQ(path.rfind(Path("tmp") + "/spiro-view-", 0), 0u) << path;
    EXPECT_EQ(fs::path(path).extension(), ".png");
    EXPECT_TRUE(existed);
    EXPECT_EQ(Names(Path("tmp")), std::vector<std::string>{});
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
        EXPECT_EQ(Names(Path("tmp")), std::vector<std::string>{}) << strsignal(signal);
        EXPECT_FALSE(ProcessGroups::GroupAlive(browser)) << strsignal(signal);
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
