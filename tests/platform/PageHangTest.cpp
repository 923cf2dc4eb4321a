// A page whose renderer stops answering (it hangs, or was stopped) while its browser still
// answers is given up after the first call it leaves unanswered: that call and every later one
// on the page fail with what did not answer and after how long, at once after the first, and
// the browser, kept, serves other pages. A page that is only busy in a script stays in use
// (LivePageFailureTest); a browser that stops answering is given up (BrowserStallTest).
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>

#include <cctype>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "web/Browser.h"
#include "web/LivePage.h"

namespace {

using Web::Value;
using Clock = std::chrono::steady_clock;

const std::string kReason = "the page did not answer within 1 s";

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The renderers of the browser's process group, stopped while this lives; the browser's own
// process runs on.
class StoppedRenderers {
public:
    explicit StoppedRenderers(pid_t browser)
    {
        for (const pid_t pid : Renderers(browser))
            if (kill(pid, SIGSTOP) == 0)
                mStopped.push_back(pid);
    }
    ~StoppedRenderers()
    {
        for (const pid_t pid : mStopped)
            kill(pid, SIGCONT);
    }
    StoppedRenderers(const StoppedRenderers&) = delete;
    StoppedRenderers& operator=(const StoppedRenderers&) = delete;

    bool Any() const { return !mStopped.empty(); }

private:
    static std::vector<pid_t> Renderers(pid_t group)
    {
        std::vector<pid_t> found;
        DIR* proc = opendir("/proc");
        while (dirent* entry = proc != nullptr ? readdir(proc) : nullptr) {
            if (!std::isdigit(static_cast<unsigned char>(entry->d_name[0])))
                continue;
            const std::string folder = std::string("/proc/") + entry->d_name;
            std::ifstream stat(folder + "/stat");
            std::string line;
            if (!std::getline(stat, line))
                continue;
            // pid (name) state ppid pgrp ...
            std::istringstream fields(line.substr(line.rfind(')') + 2));
            char state = 0;
            long ppid = 0, pgrp = 0;
            fields >> state >> ppid >> pgrp;
            // The browser writes its processes' arguments over with their text, one line.
            std::ifstream in(folder + "/cmdline", std::ios::binary);
            const std::string command((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (pgrp == group && command.find("--type=renderer") != std::string::npos)
                found.push_back(pid_t(std::atol(entry->d_name)));
        }
        if (proc != nullptr)
            closedir(proc);
        return found;
    }

    std::vector<pid_t> mStopped;
};

class PageHang : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Web::Browser::Available())
            GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    }
};

TEST_F(PageHang, AnEvaluationLeftUnansweredGivesThePageUpAndItsLaterCallsFailAtOnce)
{
    Web::LivePage page;
    ASSERT_TRUE(page.LoadHTML("<p>hung</p>", "")) << page.LastError();
    Web::Browser* browser = Web::Browser::Current();
    const pid_t running = browser->ProcessId();
    {
        StoppedRenderers stopped(running);
        ASSERT_TRUE(stopped.Any());
        page.SetTimeouts(Web::LivePage::kLoadTimeout, 1);
        const Web::Evaluation first = page.Evaluate("1");
        EXPECT_FALSE(first.ok);
        EXPECT_EQ(first.error, kReason);
        EXPECT_TRUE(browser->IsAlive());  // it answered its own question
        EXPECT_EQ(page.LostReason(), kReason);

        // With their full time limits, the later calls do not wait them out.
        page.SetTimeouts(Web::LivePage::kLoadTimeout, Web::LivePage::kEvaluationTimeout);
        const auto start = Clock::now();
        EXPECT_EQ(page.Evaluate("2").error, kReason);
        EXPECT_FALSE(page.RenderPNG(::testing::TempDir() + "hung.png", 100, 50));
        EXPECT_EQ(page.LastError(), kReason);
        EXPECT_FALSE(page.LoadHTML("<p>again</p>", ""));
        EXPECT_EQ(page.LastError(), kReason);
        EXPECT_LT(SecondsSince(start), Web::LivePage::kEvaluationTimeout / 2);
    }
    // Woken, the page stays given up; its browser serves another page.
    EXPECT_EQ(page.Evaluate("3").error, kReason);
    Web::LivePage next;
    ASSERT_TRUE(next.LoadHTML("<p>next</p>", "")) << next.LastError();
    EXPECT_EQ(Web::Browser::Current()->ProcessId(), running);
    EXPECT_EQ(next.Evaluate("6 * 7").value, Value::Number(42));
}

TEST_F(PageHang, APictureOrAPrintLeftUnansweredGivesThePageUpWithinTheEvaluationsLimit)
{
    Web::LivePage pictured, printed;
    ASSERT_TRUE(pictured.LoadHTML("<p>pictured</p>", "")) << pictured.LastError();
    ASSERT_TRUE(printed.LoadHTML("<p>printed</p>", "")) << printed.LastError();
    pictured.SetViewSize(100, 50);  // so that the picture's first call is its capture
    StoppedRenderers stopped(Web::Browser::Current()->ProcessId());
    ASSERT_TRUE(stopped.Any());
    pictured.SetTimeouts(Web::LivePage::kLoadTimeout, 1);
    printed.SetTimeouts(Web::LivePage::kLoadTimeout, 1);
    const std::string pdf = ::testing::TempDir() + "hung.pdf";

    EXPECT_FALSE(pictured.RenderPNG(::testing::TempDir() + "hung.png", 100, 50));
    EXPECT_EQ(pictured.LastError(), kReason);
    EXPECT_EQ(pictured.Evaluate("1").error, kReason);
    const auto start = Clock::now();
    EXPECT_FALSE(printed.RenderPDF(pdf, Web::PrintInfo{}));
    EXPECT_EQ(printed.LastError(), kReason);
    EXPECT_FALSE(printed.RenderAreaPDF(pdf, Web::PageArea{0, 0, 100, 50}));
    EXPECT_EQ(printed.LastError(), kReason);
    EXPECT_LT(SecondsSince(start), Web::LivePage::kEvaluationTimeout);
    EXPECT_TRUE(Web::Browser::Current()->IsAlive());
}

}  // namespace
