// What the page server refuses of a client that has the secret: a call nested 40,000 deep
// (with another key before its body is read, with the page's own key as too deep), a FIFO
// inside or outside the page's folder, and a chunked body past the size limit; and what the
// host refuses of a page: a value nested too deep.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>

#include <httplib.h>

#include "NoteBridge.h"
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
        page.InstallBridge(NoteCounter(notes));
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

TEST_F(PageServerLimits, AFifoIsNeverOpenedToWait)
{
    const std::string folder = ::testing::TempDir() + "fifo-folder";
    const std::string outside = ::testing::TempDir() + "fifo-outside";
    ::mkdir(folder.c_str(), 0755);
    ::mkfifo((folder + "/pipe").c_str(), 0600);
    ::mkfifo(outside.c_str(), 0600);
    ASSERT_TRUE(page.LoadHTML("<p>a</p>", "file://" + folder)) << page.LastError();
    const Target document = Split(page.URL());
    httplib::Client client("127.0.0.1", document.port);
    client.set_read_timeout(3, 0);
    const std::string names[] = {"pipe", "../fifo-outside"};
    for (const std::string& name : names) {
        const httplib::Result result = client.Get((document.path + name).c_str());
        EXPECT_TRUE(result) << name;
        if (result) {
            EXPECT_EQ(result->status, 404) << name;
        }
    }
    // Should a server thread wait in an open all the same, a writer lets it go.
    for (const std::string& fifo : {folder + "/pipe", outside}) {
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
        ::unlink(fifo.c_str());
    }
}

TEST_F(PageServerLimits, AChunkedBodyPastTheLimitIsRefused)
{
    ASSERT_TRUE(page.LoadHTML("<p>a</p>", "")) << page.LastError();
    const Target call = Split(page.CallURL());
    httplib::Client client("127.0.0.1", call.port);
    // One call, valid JSON, longer than the limit; sent in chunks without a length.
    const std::string head = R"({"o":"host","m":"Note","a":[")";
    const std::string tail = R"("]})";
    const size_t fill = Web::PageServer::kMaxRequestBytes + 1024;
    const httplib::Result result = client.Post(
        call.path.c_str(),
        [&](size_t offset, httplib::DataSink& sink) {
            const size_t total = head.size() + fill + tail.size();
            if (offset == 0)
                return sink.write(head.data(), head.size());
            if (offset >= total) {
                sink.done();
                return true;
            }
            if (offset >= head.size() + fill)
                return sink.write(tail.data(), tail.size());
            const std::string block(std::min<size_t>(1 << 16, head.size() + fill - offset), 'x');
            return sink.write(block.data(), block.size());
        },
        "text/plain");
    // The server may close before the client has sent all: no answer is no success either.
    if (result) {
        EXPECT_EQ(result->status, 413);
    }
    EXPECT_EQ(page.Evaluate("1").value, Value::Number(1));
    EXPECT_EQ(notes, 0);
    // Under the limit, the same call in chunks goes through.
    const std::string small = head + "x" + tail;
    const httplib::Result fine = client.Post(
        call.path.c_str(),
        [&](size_t offset, httplib::DataSink& sink) {
            if (offset < small.size())
                return sink.write(small.data() + offset, std::min<size_t>(7, small.size() - offset));
            sink.done();
            return true;
        },
        "text/plain");
    ASSERT_TRUE(fine);
    EXPECT_EQ(fine->status, 200);
    EXPECT_EQ(page.Evaluate("1").value, Value::Number(1));
    EXPECT_EQ(notes, 1);
}

}  // namespace
