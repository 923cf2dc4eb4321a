// What the page server refuses of a client that has the secret: a call nested 40,000 deep
// (with another key before its body is read, with the page's own key as too deep); and what
// the host refuses of a page: a value nested too deep.
#include <gtest/gtest.h>

#include <regex>

#include <httplib.h>

#include "web/Browser.h"
#include "web/LivePage.h"
#include "web/PageServer.h"
#include "web/Wire.h"

namespace {

using Web::Value;

class PageServerLimits : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Web::Browser::Available())
            GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
        Web::BridgeObject bridge;
        bridge.name = "host";
        bridge.methods = {{"Note", Web::BridgeObject::Call::Queued}};
        bridge.handler = [this](const std::string&, const std::vector<Value>&) {
            ++notes;
            return Value();
        };
        page.InstallBridge(std::move(bridge));
    }

    struct Target {
        int port;
        std::string path;
    };

    static Target Split(const std::string& url)
    {
        std::smatch m;
        EXPECT_TRUE(std::regex_match(url, m, std::regex(R"(http://127\.0\.0\.1:(\d+)(/[^?]*)(\?.*)?)"))) << url;
        return Target{std::stoi(m[1].str()), m[2].str()};
    }

    Web::LivePage page;
    int notes = 0;
};

// A queued call whose one argument is an empty array nested depth deep.
std::string NestedCall(int depth)
{
    return R"({"o":"host","m":"Note","a":[)" + std::string(size_t(depth), '[') + std::string(size_t(depth), ']') + "]}";
}

TEST_F(PageServerLimits, CallsNestedTooDeepAreRefusedAndAnotherKeyBeforeItsBody)
{
    ASSERT_TRUE(page.LoadHTML("<p>a</p>", "")) << page.LastError();
    const Target call = Split(page.CallURL());
    const std::string wrongKey = call.path.substr(0, call.path.rfind('/') + 1) + std::string(32, '0');
    httplib::Client client("127.0.0.1", call.port);
    const struct {
        const char* what;
        std::string path;
        std::string body;
        int status;
    } cases[] = {
        {"another key, 40,000 deep", wrongKey, NestedCall(40000), 403},
        {"its own key, 40,000 deep", call.path, NestedCall(40000), 400},
        {"one level too deep", call.path, NestedCall(Web::kMaxWireDepth + 1), 400},
        {"at the limit", call.path, NestedCall(Web::kMaxWireDepth), 200},
    };
    for (const auto& c : cases) {
        const httplib::Result result = client.Post(c.path.c_str(), c.body, "text/plain");
        ASSERT_TRUE(result) << c.what;
        EXPECT_EQ(result->status, c.status) << c.what;
    }
    EXPECT_EQ(page.Evaluate("1").value, Value::Number(1));  // runs the queued calls
    EXPECT_EQ(notes, 1);
    // A page's value nested too deep fails its evaluation.
    const Web::Evaluation deep = page.Evaluate("var v = 1; for (var i = 0; i < 100; i++) v = [v]; v");
    EXPECT_FALSE(deep.ok);
    EXPECT_EQ(deep.error, "the page's value nests deeper than 64 arrays");
}

}  // namespace
