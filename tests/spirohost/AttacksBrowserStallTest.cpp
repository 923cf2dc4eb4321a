// A browser stopped (SIGSTOP) while a view's pages settle, run against spirohost as a user
// would: the data view's picture and print, the loop's and the report's. The browser is given
// up after the first call it leaves unanswered, so each view ends soon after with the reason
// and exit 1, leaving the file that was there as it was; it does not wait out every overlay's
// time limit in turn.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "RunCommand.h"
#include "support/TempFolder.h"
#include "web/Browser.h"

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

namespace fs = std::filesystem;

const std::string kSample = std::string(SPIRO_TEST_DATA_DIR) + "/sample.edf";
const std::string kReason = "the browser did not answer within 10 s";
// From the browser's stop to the command's end: far less than waiting out the calls' limits
// (minutes for the data view), with room for a slow machine.
constexpr double kMostSeconds = 30;

double Now() { return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count(); }

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class BrowserStall : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Web::Browser::Available())
            GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    }

    std::string Path(const std::string& name) const { return (mFolder.Path() / name).string(); }

    // The real browser, stopped a few seconds after it starts (when the pages have loaded and
    // settle); the time of each stop is added to a file. The stopper lets go of the browser's
    // pipe.
    std::string StoppedBrowser() const
    {
        const std::string path = Path("stopped-browser");
        std::ofstream(path) << "#!/bin/sh\n"
                            << "( exec 3>&- 4>&-; sleep 4; date +%s.%N >> " << Path("stopped-at")
                            << "; kill -STOP $$ ) >/dev/null 2>&1 &\n"
                            << "exec " << Web::Browser::Executable() << " \"$@\"\n";
        fs::permissions(path, fs::perms::owner_all);
        return path;
    }

    void ExpectGivenUp(const std::string& viewName, const std::string& output)
    {
        const std::string target = Path("out");
        std::ofstream(target) << "old";
        fs::remove(Path("stopped-at"));
        const std::string args = "view " + kSample + " --raw 1 --scale 2 --view \"" + viewName +
                                 "\" --settle 6 " + output + " " + target;
        int status = -1;
        const std::string out = RunCommand("SPIRO_CHROMIUM=" + StoppedBrowser() + " timeout 300 " + Spirohost() +
                                               " " + args + " 2>&1",
                                           &status);
        const double ended = Now();
        EXPECT_EQ(status, 1) << args << ": " << out;
        EXPECT_NE(out.find("spirohost view: the view could not be "), std::string::npos) << args << ": " << out;
        EXPECT_NE(out.find(" " + target + ": "), std::string::npos) << args << ": " << out;
        EXPECT_NE(out.find(kReason + "\n"), std::string::npos) << args << ": " << out;
        EXPECT_EQ(Read(target), "old") << args;
        const std::string stopped = Read(Path("stopped-at"));
        ASSERT_FALSE(stopped.empty()) << args << ": the browser was not stopped";
        EXPECT_LT(ended - std::stod(stopped), kMostSeconds) << args;  // from the first stop
    }

    TestSupport::TempFolder mFolder;
};

TEST_F(BrowserStall, TheDataViewsPictureEndsSoonWithTheReason)
{
    ExpectGivenUp("Spirometry Data View", "--png");
}

TEST_F(BrowserStall, TheDataViewsPrintEndsSoonWithTheReason)
{
    ExpectGivenUp("Spirometry Data View", "--print");
}

TEST_F(BrowserStall, TheLoopEndsSoonWithTheReason)
{
    ExpectGivenUp("Spirometry Loop View", "--png");
}

TEST_F(BrowserStall, TheReportEndsSoonWithTheReason)
{
    ExpectGivenUp("Spirometry Report", "--print");
}

}  // namespace
