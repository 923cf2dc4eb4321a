// What a live page does with bad input and a failing browser: requests without the process's
// secret or for another page are refused, malformed and oversized calls too; a script that
// loops and a page that never finishes loading are stopped; a browser killed in a call fails
// the host's wait and the next page starts a new one; nothing of a browser outlives its host.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <regex>
#include <thread>

#include <httplib.h>

#include "ProcessGroups.h"
#include "cf/TempFolder.h"
#include "web/Browser.h"
#include "web/LivePage.h"
#include "web/PageServer.h"

namespace {

using Web::Value;

constexpr const char* kHostVariable = "SPIRO_DYING_HOST";
constexpr int kReportFd = 9;

using ProcessGroups::GroupAlive;

class LivePageFailures : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Web::Browser::Available())
            GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    }

    static void InstallHost(Web::Page& page, std::function<Value()> value)
    {
        Web::BridgeObject bridge;
        bridge.name = "host";
        bridge.methods = {{"Get", Web::BridgeObject::Call::Value}, {"Note", Web::BridgeObject::Call::Queued}};
        bridge.handler = [value](const std::string& method, const std::vector<Value>&) {
            return method == "Get" ? value() : Value();
        };
        page.InstallBridge(std::move(bridge));
    }
};

struct Target {
    int port;
    std::string path;  // of the page's document
};

Target Split(const std::string& url)
{
    std::smatch m;
    EXPECT_TRUE(std::regex_match(url, m, std::regex(R"(http://127\.0\.0\.1:(\d+)(/[^?]*)(\?.*)?)"))) << url;
    return Target{std::stoi(m[1].str()), m[2].str()};
}

TEST_F(LivePageFailures, RequestsWithoutTheSecretOrForAnotherPageAreRefused)
{
    const std::string folder = ::testing::TempDir() + "served";
    ::mkdir(folder.c_str(), 0755);
    std::ofstream(folder + "/data.txt") << "bundle file";
    Web::LivePage a;
    Web::LivePage b;
    int got = 0;
    InstallHost(a, [&] { return Value::Number(++got); });
    ASSERT_TRUE(a.LoadHTML("<p>a</p>", "file://" + folder)) << a.LastError();
    ASSERT_TRUE(b.LoadHTML("<p>b</p>", "")) << b.LastError();
    const Target page = Split(a.URL());
    const std::string call = Split(a.CallURL()).path;
    const std::string otherCall = Split(b.CallURL()).path;
    const std::string secret = page.path.substr(0, page.path.find("/page/"));
    const std::string wrongSecret = "/" + std::string(secret.size() - 1, '0');
    // Page a's key with page b's number.
    const std::string crossed = otherCall.substr(0, otherCall.rfind('/')) + call.substr(call.rfind('/'));
    const std::string queued = R"({"o":"host","m":"Note","a":[1]})";
    // The data route beside the call route, for a bridge without samples methods.
    const std::string data = std::regex_replace(call, std::regex("/call/"), "/data/");
    const std::string crossedData = std::regex_replace(crossed, std::regex("/call/"), "/data/");
    const std::string getSamples = R"({"o":"host","m":"Get","a":[]})";

    httplib::Client client("127.0.0.1", page.port);
    struct Case {
        const char* what;
        std::string path;
        httplib::Headers headers;
        const char* body;  // null: GET
        int status;
    };
    const std::vector<Case> cases = {
        {"the document", page.path, {}, nullptr, 200},
        {"a bundle file", page.path + "data.txt", {}, nullptr, 200},
        {"outside the folder", page.path + "../../../../etc/passwd", {}, nullptr, 404},
        {"no secret", page.path.substr(secret.size()), {}, nullptr, 403},
        {"a wrong secret", wrongSecret + page.path.substr(secret.size()), {}, nullptr, 403},
        {"another origin", page.path, {{"Origin", "http://example.com"}}, nullptr, 403},
        {"a queued call", call, {}, queued.c_str(), 200},
        {"another page's key", crossed, {}, queued.c_str(), 403},
        {"a malformed call", call, {}, "{\"o\":", 400},
        {"a call without arguments", call, {}, R"({"o":"host","m":"Note"})", 400},
        {"samples of a method that has none", data, {}, getSamples.c_str(), 404},
        {"samples with another page's key", crossedData, {}, getSamples.c_str(), 403},
        {"samples without the secret", data.substr(secret.size()), {}, getSamples.c_str(), 403},
        {"malformed samples", data, {}, "[1]", 400},
    };
    for (const Case& c : cases) {
        const httplib::Result result = c.body == nullptr ? client.Get(c.path.c_str(), c.headers)
                                                         : client.Post(c.path.c_str(), c.headers, c.body, "text/plain");
        ASSERT_TRUE(result) << c.what;
        EXPECT_EQ(result->status, c.status) << c.what;
    }
    EXPECT_EQ(client.Get(page.path.c_str())->body, "<p>a</p>");
    EXPECT_EQ(client.Get((page.path + "data.txt").c_str())->body, "bundle file");
    const std::string oversized(Web::PageServer::kMaxRequestBytes + 1, ' ');
    const httplib::Result big = client.Post(call.c_str(), oversized, "text/plain");
    ASSERT_TRUE(big);
    EXPECT_EQ(big->status, 413);
    EXPECT_EQ(got, 0);  // nothing refused reached the host

    // A value call waits for the main thread, which serves it.
    std::atomic<bool> done{false};
    int status = 0;
    std::string body;
    std::thread caller([&] {
        if (const httplib::Result answer = client.Post(call.c_str(), R"({"o":"host","m":"Get","a":[]})", "text/plain")) {
            status = answer->status;
            body = answer->body;
        }
        done = true;
    });
    while (!done)
        Web::Page::ServeCalls();
    caller.join();
    EXPECT_EQ(status, 200);
    EXPECT_EQ(body, R"({"v":1})");
}

TEST_F(LivePageFailures, ALoopingScriptAndALoadThatNeverEndsAreStopped)
{
    Web::LivePage page;
    page.SetTimeouts(0.5, 0.5);
    EXPECT_FALSE(page.LoadHTML("<script>for (;;) {}</script>", ""));
    EXPECT_EQ(page.LastError(), "the page did not finish loading within 0.5 s");
    ASSERT_TRUE(page.LoadHTML("<p>fine</p>", "")) << page.LastError();
    const Web::Evaluation looped = page.Evaluate("for (;;) {}");
    EXPECT_FALSE(looped.ok);
    EXPECT_EQ(looped.error, "the script did not finish within 0.5 s");
    const Web::Evaluation after = page.Evaluate("document.body.textContent");
    EXPECT_TRUE(after.ok) << after.error;
    EXPECT_EQ(after.value, Value::String("fine"));
}

// A page waiting in a call cannot run the scripts that show an area: its PDF fails at once,
// and the page, its call answered, gives it.
TEST_F(LivePageFailures, APageWaitingInACallGivesNoAreaUntilItHasReturned)
{
    Web::LivePage page;
    const std::string pdf = ::testing::TempDir() + "called-area.pdf";
    std::string during;
    InstallHost(page, [&] {
        during = page.RenderAreaPDF(pdf, Web::PageArea{0, 0, 100, 50}) ? "rendered" : page.LastError();
        return Value::Number(1);
    });
    ASSERT_TRUE(page.LoadHTML("<p>caller</p>", "")) << page.LastError();
    EXPECT_EQ(page.Evaluate("host.Get()").value, Value::Number(1));
    EXPECT_EQ(during, Web::Page::kBlockedInCall);
    EXPECT_TRUE(page.RenderAreaPDF(pdf, Web::PageArea{0, 0, 100, 50})) << page.LastError();
    std::ifstream in(pdf, std::ios::binary);
    std::string head(5, '\0');
    in.read(&head[0], 5);
    EXPECT_EQ(head, "%PDF-");
}

TEST_F(LivePageFailures, ABrowserKilledInACallFailsTheWaitAndTheNextPageStartsAnother)
{
    Web::LivePage page;
    pid_t killed = 0;
    InstallHost(page, [&] {
        killed = Web::Browser::Current()->ProcessId();
        kill(killed, SIGKILL);
        return Value::Number(1);
    });
    ASSERT_TRUE(page.LoadHTML("<p>victim</p>", "")) << page.LastError();
    const Web::Evaluation result = page.Evaluate("host.Get()");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, Web::Browser::kExited);
    EXPECT_EQ(page.Evaluate("1").error, Web::Browser::kExited);
    const std::string pdf = ::testing::TempDir() + "killed-area.pdf";
    std::remove(pdf.c_str());
    EXPECT_FALSE(page.RenderAreaPDF(pdf, Web::PageArea{0, 0, 100, 50}));
    EXPECT_EQ(page.LastError(), Web::Browser::kExited);
    EXPECT_FALSE(std::ifstream(pdf).good());

    Web::LivePage next;
    ASSERT_TRUE(next.LoadHTML("<p>next</p>", "")) << next.LastError();
    EXPECT_NE(Web::Browser::Current()->ProcessId(), killed);
    EXPECT_FALSE(GroupAlive(killed));
    EXPECT_EQ(next.Evaluate("6 * 7").value, Value::Number(42));
    // The old page comes back on the new browser when it loads again.
    ASSERT_TRUE(page.LoadHTML("<p>again</p>", "")) << page.LastError();
    EXPECT_EQ(page.Evaluate("document.body.textContent").value, Value::String("again"));
}

TEST_F(LivePageFailures, NothingOfTheBrowserOutlivesItsHost)
{
    // A host that stops its browser leaves no process of it.
    {
        Web::LivePage page;
        ASSERT_TRUE(page.LoadHTML("<p>one</p>", "")) << page.LastError();
    }
    const pid_t stopped = Web::Browser::Current()->ProcessId();
    Web::Browser::Shutdown();
    EXPECT_TRUE(ProcessGroups::GroupGoneWithin(stopped, std::chrono::seconds(2)));

    // A host that dies without stopping it takes it along: this program again, running only
    // the host below.
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t host = fork();
    if (host == 0) {
        dup2(report[1], kReportFd);
        setenv(kHostVariable, "1", 1);
        execl("/proc/self/exe", "test_platform", "--gtest_filter=LivePageFailures.DyingHost", nullptr);
        _exit(127);
    }
    ::close(report[1]);
    pid_t browser = 0;
    ASSERT_EQ(read(report[0], &browser, sizeof browser), ssize_t(sizeof browser));
    ::close(report[0]);
    int status = 0;
    waitpid(host, &status, 0);
    ASSERT_GT(browser, 0);
    // The kernel kills the browser with its host; its helpers follow it.
    EXPECT_TRUE(ProcessGroups::GroupGoneWithin(browser, std::chrono::seconds(10)));
    // Its profile folder goes when the next browser starts.
    const std::string orphaned = "spiro-chromium-" + std::to_string(host) + "-";
    const auto profiles = [&] {
        int count = 0;
        DIR* tmp = opendir(CF::TempFolder().c_str());
        while (dirent* entry = tmp != nullptr ? readdir(tmp) : nullptr)
            count += std::string(entry->d_name).rfind(orphaned, 0) == 0;
        if (tmp != nullptr)
            closedir(tmp);
        return count;
    };
    EXPECT_EQ(profiles(), 1);
    Web::Browser::Shutdown();
    Web::LivePage next;
    ASSERT_TRUE(next.LoadHTML("<p>next</p>", "")) << next.LastError();
    EXPECT_EQ(profiles(), 0);
}

// The dying host of the test above: it reports its browser and exits without exit handlers,
// as if it crashed.
TEST_F(LivePageFailures, DyingHost)
{
    if (std::getenv(kHostVariable) == nullptr)
        GTEST_SKIP() << "run by NothingOfTheBrowserOutlivesItsHost";
    Web::LivePage page;
    const bool loaded = page.LoadHTML("<p>orphan?</p>", "");
    const pid_t browser = loaded ? Web::Browser::Current()->ProcessId() : 0;
    if (write(kReportFd, &browser, sizeof browser) != ssize_t(sizeof browser))
        _exit(2);
    _exit(0);
}

}  // namespace
