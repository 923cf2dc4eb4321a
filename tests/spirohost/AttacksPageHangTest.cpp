// The pages' renderers stopped (SIGSTOP) while a view's pages settle, the browser itself
// running on, run against spirohost as a user would: the data view's picture and print and the
// report's print. Each page is given up after the first call it leaves unanswered, so the view
// ends soon after with exit 1, says that the page did not answer and after how long, and
// leaves the file that was there as it was; it does not wait out every call's time limit.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "RunCommand.h"
#include "support/TempFolder.h"
#include "web/Browser.h"

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

namespace fs = std::filesystem;

const std::string kSample = std::string(SPIRO_TEST_DATA_DIR) + "/sample.edf";
const std::string kReason = "the page did not answer within 10 s";
// From the renderers' stop to the command's end: the first call left unanswered waits out its
// limit (10 s), and the view ends at most 30 s after that, though the data view waits out one
// call's limit for each of its two pages; far less than every call's (minutes).
constexpr double kMostSeconds = 10 + 30;

double Now() { return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count(); }

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class PageHang : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Web::Browser::Available())
            GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    }

    // Whatever the command's end, no renderer stays stopped: one whose browser has gone ends
    // once it runs.
    void TearDown() override
    {
        std::istringstream stopped(Read(Path("stopped")));
        for (pid_t pid; stopped >> pid;)
            kill(pid, SIGCONT);
    }

    std::string Path(const std::string& name) const { return (mFolder.Path() / name).string(); }

    // The real browser, whose renderers (the processes of its group started as such) are
    // stopped a few seconds after it starts, when the pages have loaded and settle; the time of
    // the stop is added to a file, and each renderer's process id to another. The stopper lets
    // go of the browser's pipe.
    std::string BrowserWithStoppedRenderers() const
    {
        const std::string path = Path("stopped-renderers");
        std::ofstream(path) << "#!/bin/sh\n"
                            << "( exec 3>&- 4>&-; sleep 4; date +%s.%N >> " << Path("stopped-at") << "\n"
                            << "  for d in /proc/[0-9]*; do\n"
                            << "    [ \"$(sed 's/.*) //' $d/stat 2>/dev/null | cut -d' ' -f3)\" = $$ ] || continue\n"
                            << "    grep -q -- --type=renderer $d/cmdline 2>/dev/null || continue\n"
                            << "    kill -STOP ${d#/proc/} && echo ${d#/proc/} >> " << Path("stopped") << "\n"
                            << "  done ) >/dev/null 2>&1 &\n"
                            << "exec " << Web::Browser::Executable() << " \"$@\"\n";
        fs::permissions(path, fs::perms::owner_all);
        return path;
    }

    void ExpectGivenUp(const std::string& viewName, const std::string& output)
    {
        const std::string target = Path("out");
        std::ofstream(target) << "old";
        const std::string args = "view " + kSample + " --raw 1 --scale 2 --view \"" + viewName +
                                 "\" --settle 5 " + output + " " + target;
        int status = -1;
        const std::string out = RunCommand("SPIRO_CHROMIUM=" + BrowserWithStoppedRenderers() + " timeout 300 " +
                                               Spirohost() + " " + args + " 2>&1",
                                           &status);
        const double ended = Now();
        EXPECT_EQ(status, 1) << args << ": " << out;
        EXPECT_NE(out.find("spirohost view: the view could not be "), std::string::npos) << args << ": " << out;
        EXPECT_NE(out.find(" " + target + ": " + kReason + "\n"), std::string::npos) << args << ": " << out;
        EXPECT_EQ(Read(target), "old") << args;
        ASSERT_FALSE(Read(Path("stopped")).empty()) << args << ": no renderer was stopped";
        EXPECT_LT(ended - std::stod(Read(Path("stopped-at"))), kMostSeconds) << args;
    }

    TestSupport::TempFolder mFolder;
};

TEST_F(PageHang, TheDataViewsPictureEndsSoonWithTheReason)
{
    ExpectGivenUp("Spirometry Data View", "--png");
}

TEST_F(PageHang, TheDataViewsPrintEndsSoonWithTheReason)
{
    ExpectGivenUp("Spirometry Data View", "--print");
}

TEST_F(PageHang, TheReportEndsSoonWithTheReason)
{
    ExpectGivenUp("Spirometry Report", "--print");
}

}  // namespace
