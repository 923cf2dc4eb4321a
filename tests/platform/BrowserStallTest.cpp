// A browser that stops answering is given up after the first call it leaves unanswered: it is
// killed, the next call on it fails at once with the same reason, and the next page starts
// another. A page that is only busy leaves its browser in use (LivePageFailureTest). A browser
// that stops reading its pipe fails a long command's sending instead of holding it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>

#include "web/Browser.h"
#include "web/LivePage.h"

namespace {

using Web::Value;
using Clock = std::chrono::steady_clock;

// Runs the browser named by SPIRO_CHROMIUM while it lives; the one before comes back after.
class NamedBrowser {
public:
    explicit NamedBrowser(const std::string& path)
    {
        const char* was = std::getenv("SPIRO_CHROMIUM");
        mHad = was != nullptr;
        mWas = mHad ? was : "";
        Web::Browser::Shutdown();
        ::setenv("SPIRO_CHROMIUM", path.c_str(), 1);
    }
    ~NamedBrowser()
    {
        Web::Browser::Shutdown();
        if (mHad)
            ::setenv("SPIRO_CHROMIUM", mWas.c_str(), 1);
        else
            ::unsetenv("SPIRO_CHROMIUM");
    }

private:
    bool mHad;
    std::string mWas;
};

TEST(BrowserStall, ASecondCallAfterAnUnansweredOneFailsAtOnce)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    Web::LivePage page;
    ASSERT_TRUE(page.LoadHTML("<p>stalled</p>", "")) << page.LastError();
    const pid_t stopped = Web::Browser::Current()->ProcessId();
    ASSERT_EQ(kill(stopped, SIGSTOP), 0);

    page.SetTimeouts(Web::LivePage::kLoadTimeout, 1);
    const Web::Evaluation first = page.Evaluate("1");
    EXPECT_FALSE(first.ok);
    EXPECT_EQ(first.error, "the browser did not answer within 1 s");
    EXPECT_FALSE(Web::Browser::Current()->IsAlive());
    EXPECT_EQ(kill(stopped, 0), -1);  // killed and reaped
    EXPECT_EQ(errno, ESRCH);

    // With its full time limit, the next call does not wait it out.
    page.SetTimeouts(Web::LivePage::kLoadTimeout, Web::LivePage::kEvaluationTimeout);
    const auto start = Clock::now();
    const Web::Evaluation second = page.Evaluate("2");
    const std::string pdf = ::testing::TempDir() + "stalled.pdf";
    EXPECT_FALSE(page.RenderAreaPDF(pdf, Web::PageArea{0, 0, 100, 50}));
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_FALSE(second.ok);
    EXPECT_EQ(second.error, "the browser did not answer within 1 s");
    EXPECT_EQ(page.LastError(), "the browser did not answer within 1 s");
    EXPECT_EQ(page.LostReason(), "the browser did not answer within 1 s");
    EXPECT_LT(took, Web::LivePage::kEvaluationTimeout / 2);

    Web::LivePage next;
    ASSERT_TRUE(next.LoadHTML("<p>next</p>", "")) << next.LastError();
    EXPECT_NE(Web::Browser::Current()->ProcessId(), stopped);
    EXPECT_EQ(next.Evaluate("6 * 7").value, Value::Number(42));
    EXPECT_EQ(page.LostReason(), Web::Browser::kExited);  // its browser is not the running one
}

TEST(BrowserStall, ABrowserThatStopsReadingFailsTheSendingOfALongCommand)
{
    // It answers the first command (the start's) and then reads nothing more.
    const std::string fake = ::testing::TempDir() + "deaf-browser";
    std::ofstream(fake) << "#!/bin/sh\nprintf '{\"id\":1,\"result\":{}}\\000' >&4\nexec sleep 60\n";
    ::chmod(fake.c_str(), 0755);
    NamedBrowser named(fake);
    std::string error;
    Web::Browser* browser = Web::Browser::Shared(error);
    ASSERT_NE(browser, nullptr) << error;
    // Far more than the pipe holds.
    const std::string script(16 << 20, ' ');
    nlohmann::json result;
    EXPECT_FALSE(browser->Command("Runtime.evaluate", {{"expression", script}}, "", result, error));
    EXPECT_EQ(error, "the browser did not answer within 10 s");
    EXPECT_FALSE(browser->IsAlive());
    EXPECT_EQ(browser->WhyGone(), "the browser did not answer within 10 s");
}

}  // namespace
