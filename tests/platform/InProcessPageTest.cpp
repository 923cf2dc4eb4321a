// Script values, their wire form, and the rules of a page's calls to the host, on the
// in-process page: value calls answer at once and may not call back into the page; queued
// calls run in order once the page is idle.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "appkit/RunLoop.h"
#include "web/InProcessPage.h"
#include "web/Wire.h"

namespace {

using Web::Value;

TEST(ScriptValue, TextAsScriptGivesIt)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::pair<Value, std::string>> cases = {
        {Value(), ""},
        {Value::Null(), ""},
        {Value::Boolean(true), "true"},
        {Value::Number(42), "42"},
        {Value::Number(-0.0), "0"},
        {Value::Number(0.1), "0.1"},
        {Value::Number(1.0 / 3), "0.3333333333333333"},
        {Value::Number(1e21), "1e+21"},
        {Value::Number(std::nan("")), "NaN"},
        {Value::Number(-inf), "-Infinity"},
        {Value::String("flow"), "flow"},
        {Value::Array({Value::Number(1), Value(), Value::Null(), Value::String("a")}), "1,,,a"},
        {Value::Window(), "[object Window]"},
        {Value::Object("[object Object]"), "[object Object]"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(value.ToText(), text);
    EXPECT_EQ(Value::Number(std::nan("")), Value::Number(std::nan("")));
    EXPECT_NE(Value::Number(1), Value::String("1"));
    EXPECT_NE(Value::Null(), Value());
}

TEST(ScriptValue, WireFormKeepsEveryKind)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::pair<Value, std::string>> cases = {
        {Value(), R"({"$":"u"})"},
        {Value::Null(), "null"},
        {Value::Boolean(false), "false"},
        {Value::Number(2.5), "2.5"},
        {Value::Number(inf), R"({"$":"n","v":"Infinity"})"},
        {Value::Number(std::nan("")), R"({"$":"n","v":"NaN"})"},
        {Value::String("\"q\""), R"("\"q\"")"},
        {Value::Numbers({1, 2}), "[1.0,2.0]"},
        {Value::Array({Value(), Value::Strings({"x"})}), R"([{"$":"u"},["x"]])"},
        {Value::Window(), R"({"$":"w"})"},
        {Value::Object("[object Map]"), R"({"$":"o","v":"[object Map]"})"},
    };
    for (const auto& [value, wire] : cases) {
        EXPECT_EQ(Web::ToWire(value).dump(), wire);
        EXPECT_EQ(Web::FromWire(nlohmann::json::parse(wire)), value) << wire;
    }
    // The direct writer gives the same JSON, integers without their fraction.
    for (const auto& [value, wire] : cases)
        EXPECT_EQ(nlohmann::json::parse(Web::WireText(value)), nlohmann::json::parse(wire)) << wire;
    const struct {
        Value value;
        const char* text;
    } numbers[] = {
        {Value::Numbers({1, 2, -3}), "[1,2,-3]"},
        {Value::Number(-0.0), "-0"},
        {Value::Number(0.1), "0.1"},
        {Value::Number(9007199254740992.0), "9007199254740992"},
        {Value::Number(1e300), "1e+300"},
        {Value::Number(-inf), R"({"$":"n","v":"-Infinity"})"},
        // A byte that is no UTF-8 is replaced.
        {Value::Array({Value::String("\xff"), Value::String("a\nb")}), "[\"\xEF\xBF\xBD\",\"a\\nb\"]"},
    };
    for (const auto& n : numbers) {
        EXPECT_EQ(Web::WireText(n.value), n.text);
        if (std::string(n.text).find("\xEF\xBF\xBD") == std::string::npos) {
            EXPECT_EQ(Web::FromWire(nlohmann::json::parse(Web::WireText(n.value))), n.value) << n.text;
        }
    }
    // Integers in the page's JSON are numbers; an unknown tag reads as undefined.
    EXPECT_EQ(Web::FromWire(nlohmann::json::parse("[3]")), Value::Numbers({3}));
    EXPECT_EQ(Web::FromWire(nlohmann::json::parse(R"({"$":"?"})")), Value());
}

// Samples go to the page as 32-bit floats when each one is exactly a float (NaN and the
// infinities too), else as doubles, in base64 of the little-endian bytes (padded with '=').
TEST(ScriptValue, SamplesWireTakesTheSmallestExactSize)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Web::SamplesWire({}), "4");
    EXPECT_EQ(Web::SamplesWire({1.0}), "4AACAPw==");
    EXPECT_EQ(Web::SamplesWire({1.0, -2.5}), "4AACAPwAAIMA=");
    EXPECT_EQ(Web::SamplesWire({std::nan(""), inf, 0.5}), "4AADAfwAAgH8AAAA/");
    EXPECT_EQ(Web::SamplesWire({0.1}), "8mpmZmZmZuT8=");
    // Beyond the float range: doubles, with every sample.
    EXPECT_EQ(Web::SamplesWire({1.0, 1e39}), "8AAAAAAAA8D8dSpz0h4IHSA==");
    EXPECT_EQ(Web::SamplesWire({double(std::numeric_limits<float>::max())}).front(), '4');
    EXPECT_EQ(Web::SamplesWire({-1e300}).front(), '8');
}

// Arrays nest at most kMaxWireDepth deep; deeper ones, up to the 40,000 levels of a hostile
// call, are refused without running out of stack. Objects are leaves, whatever they hold, and
// a tag that is no text reads as undefined.
TEST(ScriptValue, WireNestingIsBounded)
{
    const auto nested = [](int depth, const std::string& inner) {
        return std::string(size_t(depth), '[') + inner + std::string(size_t(depth), ']');
    };
    Value deepest = Value::Number(7);
    for (int i = 0; i < Web::kMaxWireDepth; ++i)
        deepest = Value::Array({deepest});
    EXPECT_EQ(Web::FromWire(nlohmann::json::parse(nested(Web::kMaxWireDepth, "7"))), deepest);
    EXPECT_FALSE(Web::FromWire(nlohmann::json::parse(nested(Web::kMaxWireDepth + 1, "7"))).has_value());
    EXPECT_FALSE(Web::FromWire(nlohmann::json::parse(nested(40000, ""))).has_value());
    EXPECT_FALSE(Web::FromWire(nlohmann::json::parse("[1,\"x\"," + nested(Web::kMaxWireDepth, "") + "]")).has_value());
    EXPECT_EQ(Web::FromWire(nlohmann::json::parse(R"({"$":"o","v":)" + nested(100, "") + "}")), Value::Object(""));
    EXPECT_EQ(Web::FromWire(nlohmann::json::parse(R"({"$":1,"v":"x"})")), Value());
    EXPECT_EQ(Web::FromWire(nlohmann::json::parse(R"({"$":"n","v":2})")), Value::Number(std::nan("")));
}

class CallRules : public ::testing::Test {
protected:
    void SetUp() override
    {
        Web::BridgeObject bridge;
        bridge.name = "lumo_proxy";
        bridge.methods = {{"RequestEquation", Web::BridgeObject::Call::Value},
                          {"SetSVG", Web::BridgeObject::Call::Queued}};
        bridge.handler = [this](const std::string& method, const std::vector<Value>& arguments) {
            log.push_back(method + "(" + Value::Array(arguments).ToText() + ")");
            if (method == "RequestEquation") {
                // Calling back into a page that waits in a call fails at once.
                const Web::Evaluation inner = page.Evaluate("lumo.redraw()");
                EXPECT_FALSE(inner.ok);
                EXPECT_EQ(inner.error, Web::Page::kBlockedInCall);
                EXPECT_TRUE(page.IsInCall());
                return Value::String("Flow * 2");
            }
            // A queued call runs when the page is idle, so it may run scripts there.
            EXPECT_TRUE(page.Evaluate("lumo.redraw()").ok);
            return Value::String("ignored");
        };
        page.InstallBridge(bridge);
    }

    Web::InProcessPage page;
    std::vector<std::string> log;
};

TEST_F(CallRules, ValueCallsAnswerAtOnceAndQueuedCallsRunWhenThePageIsIdle)
{
    // Nothing is on the window before a page has loaded.
    EXPECT_EQ(page.PlayCall("lumo_proxy", "RequestEquation", {Value::String("$a")}), Value::String(""));
    ASSERT_TRUE(page.LoadHTML("<div id=local></div>", "file:///bundle/"));
    EXPECT_TRUE(page.WindowHasBridge("lumo_proxy"));

    EXPECT_EQ(page.PlayCall("lumo_proxy", "RequestEquation", {Value::String("$a")}), Value::String("Flow * 2"));
    EXPECT_FALSE(page.IsInCall());
    EXPECT_EQ(page.PlayCall("lumo_proxy", "SetSVG", {Value::String("p"), Value::String("print")}), Value());
    EXPECT_EQ(page.PlayCall("lumo_proxy", "SetSVG", {Value::String("p"), Value::String("copy")}), Value());
    EXPECT_EQ(log, (std::vector<std::string>{"RequestEquation($a)"}));  // the queued ones wait

    // The host's next evaluation on the page returns after them, in order.
    page.SetAnswer("lumo.get_plot('local').width()", Value::Number(640));
    const Web::Evaluation width = page.Evaluate("lumo.get_plot('local').width()");
    EXPECT_TRUE(width.ok);
    EXPECT_EQ(width.value, Value::Number(640));
    EXPECT_EQ(log, (std::vector<std::string>{"RequestEquation($a)", "SetSVG(p,print)", "SetSVG(p,copy)"}));
    // The script refused during the value call never reached the page.
    EXPECT_EQ(page.Scripts(),
              (std::vector<std::string>{"lumo.get_plot('local').width()", "lumo.redraw()", "lumo.redraw()"}));

    // Unknown names and objects answer "" and run nothing.
    EXPECT_EQ(page.PlayCall("lumo_proxy", "Foo", {}), Value::String(""));
    EXPECT_EQ(page.PlayCall("other", "RequestEquation", {}), Value::String(""));
    EXPECT_EQ(log.size(), 3u);
}

TEST_F(CallRules, QueuedCallsAlsoRunAfterALoadAndOnServeCalls)
{
    ASSERT_TRUE(page.LoadHTML("<p>first</p>", ""));
    page.PlayCall("lumo_proxy", "SetSVG", {Value::String("a")});
    Web::Page::ServeCalls();
    EXPECT_EQ(log, (std::vector<std::string>{"SetSVG(a)"}));
    page.EnqueueCall("lumo_proxy", "SetSVG", {Value::String("b")});
    ASSERT_TRUE(page.LoadHTML("<p>second</p>", ""));
    EXPECT_EQ(log, (std::vector<std::string>{"SetSVG(a)", "SetSVG(b)"}));
}

// A call made while the host waits for no page is served by the run loop's next turn.
TEST_F(CallRules, QueuedCallsRunOnTheRunLoopsTurn)
{
    ASSERT_TRUE(page.LoadHTML("<p>page</p>", ""));
    AppKit::RunLoop& loop = AppKit::RunLoop::Main();
    loop.UseVirtualClock(true);
    page.PlayCall("lumo_proxy", "SetSVG", {Value::String("timer")});
    EXPECT_TRUE(log.empty());
    loop.Advance(0.01);
    loop.UseVirtualClock(false);
    EXPECT_EQ(log, (std::vector<std::string>{"SetSVG(timer)"}));
}

TEST(InProcessPage, AnswersScriptsAndRecordsWhatItWasGiven)
{
    Web::InProcessPage page;
    const Web::Evaluation early = page.Evaluate("1");
    EXPECT_FALSE(early.ok);
    EXPECT_EQ(early.error, Web::Page::kNoPage);
    EXPECT_FALSE(page.SetWindowValue("throbber", Value::String("throbber.gif")));

    std::vector<std::string> frames;
    page.SetFrameLoaded([&](const Web::WebFrame& frame) { frames.push_back(frame.isMain ? "main" : frame.name); });
    ASSERT_TRUE(page.LoadHTML("<iframe name='flow'></iframe><iframe id=\"volume\"></iframe>", "file:///r/"));
    EXPECT_EQ(frames, (std::vector<std::string>{"main", "flow", "volume"}));
    ASSERT_EQ(page.Loads().size(), 1u);
    EXPECT_EQ(page.Loads()[0].baseURL, "file:///r/");

    page.SetAnswerer([](const std::string& script) {
        return script == "boom()" ? Web::Evaluation{false, Value(), "Error: boom"}
                                  : Web::Evaluation{true, Value::String(script), ""};
    });
    page.SetAnswer("window", Value::Window());
    EXPECT_EQ(page.Evaluate("window").value, Value::Window());
    EXPECT_EQ(page.Evaluate("echo").value, Value::String("echo"));
    EXPECT_EQ(page.Evaluate("boom()").error, "Error: boom");

    EXPECT_TRUE(page.SetWindowValue("throbber", Value::String("throbber.gif")));
    EXPECT_EQ(page.WindowValues().at("throbber"), Value::String("throbber.gif"));
    EXPECT_FALSE(page.RenderPNG("/tmp/none.png", 10, 10));
    EXPECT_EQ(page.LastError(), Web::InProcessPage::kCannotRender);
    // A new window has none of the old one's properties.
    ASSERT_TRUE(page.LoadHTML("", ""));
    EXPECT_TRUE(page.WindowValues().empty());
}

// Pages loaded together report their frames when the last LoadTogether ends, in the order
// their loads started, as loads one after the other would; a page reloaded or gone meanwhile
// reports only its last load, or nothing.
TEST(InProcessPage, PagesLoadedTogetherReportInTheOrderTheyStarted)
{
    std::vector<std::string> reports;
    auto page = [&reports](const std::string& name) {
        auto made = std::make_unique<Web::InProcessPage>();
        made->SetFrameLoaded([&reports, name](const Web::WebFrame& frame) {
            reports.push_back(name + (frame.isMain ? "" : "/" + frame.name));
        });
        return made;
    };
    auto first = page("first"), second = page("second"), third = page("third"), gone = page("gone");
    {
        const Web::LoadTogether together;
        ASSERT_TRUE(second->LoadHTML("<iframe name='inner'></iframe>", ""));
        ASSERT_TRUE(first->LoadHTML("<p>1</p>", ""));
        ASSERT_TRUE(gone->LoadHTML("<p>gone</p>", ""));
        {
            const Web::LoadTogether inner;  // ends nothing: the outer one is open
            ASSERT_TRUE(third->LoadHTML("<p>old</p>", ""));
        }
        EXPECT_TRUE(reports.empty());
        ASSERT_TRUE(third->LoadHTML("<p>new</p>", ""));
        gone.reset();
        EXPECT_TRUE(reports.empty());
    }
    EXPECT_EQ(reports, (std::vector<std::string>{"second", "second/inner", "first", "third"}));
    EXPECT_EQ(third->Loads().size(), 2u);

    // Outside a LoadTogether a load reports before it returns; so does one that a report of
    // another page makes.
    reports.clear();
    first->SetFrameLoaded([&](const Web::WebFrame&) {
        reports.push_back("first");
        ASSERT_TRUE(third->LoadHTML("<p>again</p>", ""));
        reports.push_back("first done");
    });
    {
        const Web::LoadTogether together;
        ASSERT_TRUE(first->LoadHTML("<p>1</p>", ""));
        ASSERT_TRUE(second->LoadHTML("<p>2</p>", ""));
    }
    EXPECT_EQ(reports, (std::vector<std::string>{"first", "third", "first done", "second"}));
    ASSERT_TRUE(second->LoadHTML("<p>alone</p>", ""));
    EXPECT_EQ(reports.back(), "second");
    EXPECT_EQ(reports.size(), 5u);
}

}  // namespace
