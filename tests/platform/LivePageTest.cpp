// A live page in headless Chromium, end to end: the page's script calls the host and gets an
// array back, the host evaluates scripts and reads their values, the page renders to PNG and
// PDF; a looping script, a throwing one and a browser killed in a call all fail cleanly.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "graphics/Image.h"
#include "web/Browser.h"
#include "web/LivePage.h"

namespace {

using Web::Value;

class LivePage : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Web::Browser::Available())
            GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    }

    // A bridge "host" whose Numbers(n) answers 0..n-1, Echo answers its arguments, Resources
    // the window with a property set, and whose queued Note records its arguments.
    void InstallHost(Web::Page& page)
    {
        Web::BridgeObject bridge;
        bridge.name = "host";
        bridge.methods = {{"Numbers", Web::BridgeObject::Call::Value},
                          {"Echo", Web::BridgeObject::Call::Value},
                          {"Resources", Web::BridgeObject::Call::Value},
                          {"Note", Web::BridgeObject::Call::Queued}};
        bridge.handler = [this, &page](const std::string& method, const std::vector<Value>& arguments) {
            calls.push_back(method);
            if (method == "Resources") {
                // Set on the window just before the call returns, as the page waits meanwhile.
                EXPECT_TRUE(page.SetWindowValue("throbber", Value::String("throbber.gif")));
                return Value::Window();
            }
            if (method == "Numbers") {
                std::vector<double> numbers(size_t(arguments.at(0).AsNumber()));
                for (size_t i = 0; i < numbers.size(); ++i)
                    numbers[i] = double(i);
                return Value::Numbers(numbers);
            }
            if (method == "Note")
                notes.push_back(arguments.at(0).ToText());
            return Value::Array(arguments);
        };
        page.InstallBridge(std::move(bridge));
    }

    std::vector<std::string> calls;
    std::vector<std::string> notes;
};

double Number(Web::Page& page, const std::string& script)
{
    const Web::Evaluation result = page.Evaluate(script);
    EXPECT_TRUE(result.ok) << result.error;
    return result.value.AsNumber();
}

// The browser asks for compressed answers; over the loopback the server sends every answer as
// it is (compressing a large plot page took longer than sending it).
TEST_F(LivePage, AnswersComeUncompressed)
{
    Web::LivePage page;
    InstallHost(page);
    ASSERT_TRUE(page.LoadHTML("<p>" + std::string(20000, 'x') + "</p>", "")) << page.LastError();
    const Web::Evaluation encoding =
        page.Evaluate("(function () { var x = new XMLHttpRequest(); x.open('GET', location.href, false); x.send(); "
                      "return [String(x.getResponseHeader('Content-Encoding')), x.responseText.length]; })()");
    ASSERT_TRUE(encoding.ok) << encoding.error;
    EXPECT_EQ(encoding.value, Value::Array({Value::String("null"), Value::Number(20007)}));
}

// A samples method answers the page a typed array over the data route: floats when every
// sample is one, doubles otherwise; a handler that fails gives no samples.
TEST_F(LivePage, SamplesArriveAsTypedArrays)
{
    Web::LivePage page;
    Web::BridgeObject bridge;
    bridge.name = "host";
    bridge.sampleMethods = {"Samples"};
    bridge.samples = [](const std::string& method, const std::vector<Value>& arguments, std::vector<double>& out) {
        if (method != "Samples" || arguments.size() != 2)
            return false;
        for (int i = 0; i < int(arguments[0].AsNumber()); ++i)
            out.push_back(i * arguments[1].AsNumber());
        return true;
    };
    page.InstallBridge(std::move(bridge));
    ASSERT_TRUE(page.LoadHTML("<p>samples</p>", "")) << page.LastError();
    const auto got = [&](const std::string& call) {
        const Web::Evaluation result = page.Evaluate(
            "(function () { var a = " + call + "; return typeof a === 'string' ? ['text', a] : "
            "[Object.prototype.toString.call(a), Array.from(a).join(' ')]; })()");
        EXPECT_TRUE(result.ok) << result.error;
        return result.value;
    };
    EXPECT_EQ(got("host.Samples(200000, 0.5)").AsArray().at(0), Value::String("[object Float32Array]"));
    EXPECT_EQ(got("host.Samples(4, 0.5)"),
              Value::Array({Value::String("[object Float32Array]"), Value::String("0 0.5 1 1.5")}));
    EXPECT_EQ(got("host.Samples(4, 0.1)"),
              Value::Array({Value::String("[object Float64Array]"), Value::String("0 0.1 0.2 0.30000000000000004")}));
    EXPECT_EQ(got("host.Samples(0, 1)"), Value::Array({Value::String("[object Float32Array]"), Value::String("")}));
    EXPECT_EQ(got("host.Samples()"), Value::Array({Value::String("[object Float32Array]"), Value::String("")}));
    EXPECT_EQ(Number(page, "host.Samples(200000, 0.25)[199999]"), 49999.75);
}

TEST_F(LivePage, CallsTheHostEvaluatesAndRenders)
{
    Web::LivePage page;
    InstallHost(page);
    std::vector<std::string> frames;
    page.SetFrameLoaded([&](const Web::WebFrame& frame) { frames.push_back(frame.isMain ? "main" : frame.name); });
    // The page's own script, while it loads, asks the host for an array and keeps its sum.
    ASSERT_TRUE(page.LoadHTML("<html><body style='margin:0;background:rgb(0,0,255)'>"
                              "<div style='width:50px;height:50px;background:rgb(255,0,0)'></div>"
                              "<iframe name='inner' srcdoc='<p>in</p>'></iframe>"
                              "<script>var got = host.Numbers(4); var sum = got.reduce((a, b) => a + b, 0);"
                              "host.Note('loaded');</script></body></html>",
                              ""))
        << page.LastError();
    EXPECT_EQ(frames, (std::vector<std::string>{"main", "inner"}));
    EXPECT_EQ(notes, (std::vector<std::string>{"loaded"}));  // queued, run once the page was idle
    EXPECT_EQ(Number(page, "sum"), 6);
    EXPECT_EQ(Number(page, "got.length"), 4);

    const Web::Evaluation echoed = page.Evaluate("host.Echo(1.5, 'two', [true, null, undefined], NaN)");
    ASSERT_TRUE(echoed.ok) << echoed.error;
    EXPECT_EQ(echoed.value, Value::Array({Value::Number(1.5), Value::String("two"),
                                          Value::Array({Value::Boolean(true), Value::Null(), Value()}),
                                          Value::Number(std::nan(""))}));
    EXPECT_EQ(page.Evaluate("window").value.GetKind(), Value::Kind::Window);
    EXPECT_EQ(page.Evaluate("host.NoSuchMethod(1)").value, Value::String(""));
    EXPECT_EQ(page.Evaluate("host.Resources() === window && window.throbber").value, Value::String("throbber.gif"));
    ASSERT_TRUE(page.SetWindowValue("scale", Value::Numbers({0.5, 2})));
    EXPECT_EQ(Number(page, "scale[0] * scale[1]"), 1);
    const Web::Evaluation thrown = page.Evaluate("null.x");
    EXPECT_FALSE(thrown.ok);
    EXPECT_EQ(thrown.error.rfind("TypeError: Cannot read properties of null", 0), 0u) << thrown.error;

    const std::string png = ::testing::TempDir() + "live-page.png";
    ASSERT_TRUE(page.RenderPNG(png, 120, 80)) << page.LastError();
    const Gfx::Image image = Gfx::Image::FromPNG(png);
    ASSERT_EQ(image.Width(), 120);
    ASSERT_EQ(image.Height(), 80);
    EXPECT_EQ(image.Pixel(10, 10) & 0x00FFFFFF, 0x00FF0000u);   // the div
    EXPECT_EQ(image.Pixel(110, 10) & 0x00FFFFFF, 0x000000FFu);  // the page's ground

    const std::string pdf = ::testing::TempDir() + "live-page.pdf";
    ASSERT_TRUE(page.Evaluate("document.body.style.height = '1500mm'").ok);
    ASSERT_TRUE(page.RenderPDF(pdf, Web::PrintInfo())) << page.LastError();
    std::ifstream in(pdf, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.compare(0, 5, "%PDF-"), 0);
    size_t pages = 0;
    for (size_t at = 0; (at = bytes.find("/Type /Page", at)) != std::string::npos; at += 5)
        pages += bytes.compare(at, 12, "/Type /Pages") != 0;
    EXPECT_EQ(pages, 6u);  // 1500 mm of body on A4 pages with half-inch margins
}

// Pages loaded together load side by side: the first page's script, while it loads, waits for
// the second page's script to have called the host, which it could not do if the second load
// started only once the first had ended. Each page's frames are reported once both are loaded,
// the first page's first.
TEST_F(LivePage, PagesLoadedTogetherLoadSideBySide)
{
    bool arrived = false;
    std::vector<std::string> reports;
    auto bridge = [&arrived](const std::string& name) {
        Web::BridgeObject host;
        host.name = "host";
        host.methods = {{name, Web::BridgeObject::Call::Value}};
        host.handler = [&arrived](const std::string& method, const std::vector<Value>&) {
            if (method == "Arrive")
                arrived = true;
            return Value::Boolean(arrived);
        };
        return host;
    };
    Web::LivePage first, second;
    first.InstallBridge(bridge("Arrived"));
    second.InstallBridge(bridge("Arrive"));
    first.SetFrameLoaded([&](const Web::WebFrame&) { reports.push_back(arrived ? "first after second" : "first"); });
    second.SetFrameLoaded([&](const Web::WebFrame&) { reports.push_back("second"); });
    {
        const Web::LoadTogether together;
        ASSERT_TRUE(first.LoadHTML("<script>var t0 = Date.now(); var waited = 0;"
                                   "while (!host.Arrived() && Date.now() - t0 < 10000) ++waited;</script>",
                                   ""))
            << first.LastError();
        ASSERT_TRUE(second.LoadHTML("<script>host.Arrive();</script>", "")) << second.LastError();
        EXPECT_TRUE(reports.empty());
        EXPECT_FALSE(first.Evaluate("1").ok);  // not loaded yet
    }
    EXPECT_EQ(reports, (std::vector<std::string>{"first after second", "second"}));
    EXPECT_TRUE(first.LoadError().empty());
    EXPECT_EQ(Number(second, "1 + 1"), 2);
}

// Posted scripts run in the order sent, before what is evaluated later, and their calls to the
// host are served meanwhile; one that throws ends nothing else. Without a page nothing runs.
TEST_F(LivePage, PostedScriptsRunInOrderBeforeTheNextEvaluation)
{
    Web::LivePage page;
    InstallHost(page);
    page.Post("var early = 1;");
    ASSERT_TRUE(page.LoadHTML("<p>posts</p>", "")) << page.LastError();
    EXPECT_EQ(page.Evaluate("typeof early").value, Value::String("undefined"));
    page.Post("var order = [1];");
    page.Post("null.x");
    page.Post("order.push(host.Numbers(5).length); host.Note('posted'); // a comment ends it");
    page.Post("({big: new Array(1000).fill(order)})");
    EXPECT_EQ(page.Evaluate("order.join(' ')").value, Value::String("1 5"));
    EXPECT_EQ(notes, std::vector<std::string>{"posted"});
}

// A document kept warm is loaded by the pages made ahead: a new page's first load of it takes
// one as it stands (loaded before the page asked for it, its scripts run before the bridge
// came, which then comes at once), at the page's size; a page that loads another document gets
// it, not the warm one; a later load of the warm document navigates anew.
TEST_F(LivePage, AFirstLoadOfTheDocumentKeptWarmTakesItLoadedAlready)
{
    const std::string warm = "<script>var bridgedAtLoad = typeof host;</script><p>warm</p>";
    // When the page's document started loading, in milliseconds since the epoch.
    const std::string started = "performance.timeOrigin";
    Web::Browser::Shutdown();  // the next browser's spare pages load it from their start
    Web::Page::KeepWarm(warm, "");
    struct Cold {
        ~Cold() { Web::Page::KeepWarm("", ""); }
    } cold;
    Web::LivePage taking, other;
    InstallHost(taking);
    InstallHost(other);
    taking.SetViewSize(333, 222);
    std::vector<std::string> frames;
    taking.SetFrameLoaded([&](const Web::WebFrame& frame) { frames.push_back(frame.isMain ? "main" : frame.name); });
    // The browser starts with it: its first pages may still be loading it when taken.
    ASSERT_TRUE(taking.LoadHTML(warm, "")) << taking.LastError();
    EXPECT_EQ(frames, std::vector<std::string>{"main"});
    EXPECT_EQ(Number(taking, "host.Numbers(3).length"), 3);
    EXPECT_EQ(Number(taking, "innerWidth * 1000 + innerHeight"), 333222);
    EXPECT_EQ(taking.Evaluate("document.body.textContent").value, Value::String("warm"));

    ASSERT_TRUE(other.LoadHTML("<script>var bridgedAtLoad = typeof host;</script><p>other</p>", ""))
        << other.LastError();
    EXPECT_EQ(other.Evaluate("document.body.textContent").value, Value::String("other"));
    EXPECT_EQ(other.Evaluate("bridgedAtLoad").value, Value::String("object"));

    ASSERT_TRUE(taking.LoadHTML(warm, "")) << taking.LastError();
    EXPECT_EQ(taking.Evaluate("bridgedAtLoad").value, Value::String("object"));
    EXPECT_EQ(Number(taking, "host.Numbers(2).length"), 2);
    EXPECT_EQ(frames, (std::vector<std::string>{"main", "main"}));

    // The targets taken are made anew as the run loop turns, and have loaded it by the time
    // the next page takes one (at another size than they were made at).
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (std::chrono::steady_clock::now() < until) {
        Web::Page::ServeCalls();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Web::LivePage later;
    InstallHost(later);
    later.SetViewSize(444, 111);
    const double asked = double(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::system_clock::now().time_since_epoch())
                                    .count());
    ASSERT_TRUE(later.LoadHTML(warm, "")) << later.LastError();
    EXPECT_LT(Number(later, started), asked);
    EXPECT_EQ(later.Evaluate("bridgedAtLoad").value, Value::String("undefined"));
    EXPECT_EQ(Number(later, "innerWidth * 1000 + innerHeight"), 444111);
    EXPECT_EQ(Number(later, "host.Numbers(4).length"), 4);
}

// A document that stops its own loading has no load event: its load ends when its main frame
// stops. A page with a frame that stops its own loads whole.
TEST_F(LivePage, ALoadStoppedByItsDocumentEnds)
{
    Web::LivePage page;
    page.SetTimeouts(5, 5);
    ASSERT_TRUE(page.LoadHTML("<p>stopped</p><script>window.stop()</script><img src='/never.png'>", ""))
        << page.LastError();
    EXPECT_EQ(page.Evaluate("document.readyState + ' ' + document.querySelector('p').textContent").value,
              Value::String("complete stopped"));
    ASSERT_TRUE(page.LoadHTML("<iframe srcdoc='<script>window.stop()</script>'></iframe><p>outer</p>", ""))
        << page.LastError();
    EXPECT_EQ(page.Evaluate("document.querySelector('p').textContent").value, Value::String("outer"));
}

}  // namespace
