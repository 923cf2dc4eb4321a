#include "StalledView.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "RunCommand.h"
#include "web/Browser.h"

namespace TestSupport {
namespace {

namespace fs = std::filesystem;

const std::string kSample = std::string(SPIRO_TEST_DATA_DIR) + "/sample.edf";

double Now() { return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count(); }

std::string Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

void StalledView::SetUp()
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
}

std::string StalledView::Path(const std::string& name) const { return (mFolder.Path() / name).string(); }

std::string StalledView::StoppingBrowser(const std::string& stopLines) const
{
    const std::string path = Path("stopping-browser");
    std::ofstream(path) << "#!/bin/sh\n"
                        << "( exec 3>&- 4>&-; sleep 4; date +%s.%N >> " << Path("stopped-at") << "\n"
                        << stopLines << " ) >/dev/null 2>&1 &\n"
                        << "exec " << Web::Browser::Executable() << " \"$@\"\n";
    fs::permissions(path, fs::perms::owner_all);
    return path;
}

void StalledView::ExpectGivenUp(const std::string& browser, const std::string& viewName, const std::string& output,
                                int settleSeconds, const std::string& reason, double mostSeconds)
{
    const std::string target = Path("out");
    std::ofstream(target) << "old";
    fs::remove(Path("stopped-at"));
    const std::string args = "view " + kSample + " --raw 1 --scale 2 --view \"" + viewName + "\" --settle " +
                             std::to_string(settleSeconds) + " " + output + " " + target;
    int status = -1;
    const std::string out =
        RunCommand("SPIRO_CHROMIUM=" + browser + " timeout 300 " + Spirohost() + " " + args + " 2>&1", &status);
    const double ended = Now();
    EXPECT_EQ(status, 1) << args << ": " << out;
    EXPECT_NE(out.find("spirohost view: the view could not be "), std::string::npos) << args << ": " << out;
    EXPECT_NE(out.find(" " + target + ": " + reason + "\n"), std::string::npos) << args << ": " << out;
    EXPECT_EQ(Read(target), "old") << args;
    const std::string stopped = Read(Path("stopped-at"));
    ASSERT_FALSE(stopped.empty()) << args << ": nothing was stopped";
    EXPECT_LT(ended - std::stod(stopped), mostSeconds) << args;  // from the first stop
}

}  // namespace TestSupport
