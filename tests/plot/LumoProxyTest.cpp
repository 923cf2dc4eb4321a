// The plot proxy behind the page's lumo_proxy, in an in-process page: every call the page
// makes, what it answers and which events it posts.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <set>

#include "LumoSources.h"
#include "LumoPageFixture.h"
#include "appkit/Alert.h"
#include "plot/LumoJavaScriptProxy.h"
#include "support/TempFolder.h"

namespace PlotTest {
namespace {

using Web::Value;
using Lines = std::vector<std::string>;

Value S(const char* text) { return Value::String(text); }
Value N(double n) { return Value::Number(n); }
Value Ns(std::vector<double> n) { return Value::Numbers(n); }

TEST_F(LumoPage, TheBridgeIsOnEveryWindowWithItsNineteenNames)
{
    EXPECT_TRUE(Page().WindowHasBridge("lumo_proxy"));
    const Web::BridgeObject& bridge = Page().Bridges().at(0);
    EXPECT_EQ(bridge.name, "lumo_proxy");
    std::vector<std::string> values;
    for (const auto& method : bridge.methods)
        if (method.second == Web::BridgeObject::Call::Value)
            values.push_back(method.first);
    EXPECT_EQ(bridge.methods.size(), 19u);
    // Only the calls whose answer the page uses wait for the host.
    EXPECT_EQ(values, (Lines{"HasData", "IsZoomEnabled", "RequestEquation", "RequestLabelsData", "RequestPixData",
                             "ResourceURLs"}));
    controller->LoadHTML("<p>again</p>");
    EXPECT_TRUE(Page().WindowHasBridge("lumo_proxy"));
}

TEST_F(LumoPage, UnknownNamesAnswerAnEmptyText)
{
    EXPECT_EQ(Call("Foo", {S("x")}), S(""));
    EXPECT_EQ(Call("UpdateProgress", {N(1), N(2)}), S(""));
    EXPECT_TRUE(events->lines.empty());
    EXPECT_TRUE(Page().Scripts().empty());
}

// Callbacks that become events, with the page's arguments as the page's library sends them.
TEST_F(LumoPage, CallbacksPostTheirEvents)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* method;
        std::vector<Value> arguments;
        Lines posted;
    } cases[] = {
        {"VLinesDragged", {S("vl"), Ns({1, 2.5, 3})}, {"VLinesDragged vl [1,2.5,3]"}},
        {"VLinesDragged", {S("vl"), Ns({})}, {}},
        // The first hole ends a list; other items have a number of their own.
        {"VLinesDragged", {S("vl"), Value::Array({N(1), N(2), Value(), N(4)})}, {"VLinesDragged vl [1,2]"}},
        {"BoxResized", {S("box"), Value::Array({Value::Boolean(true), S(" 3.5 "), S("x"), Value::Null()})},
         {"BoxResized box [1,3.5,0,0]"}},
        {"BoxResized", {S("box"), N(4)}, {}},
        {"ZoomLevelChanged", {S("local"), Ns({0, 10, -1, 1})}, {"ZoomLevelChanged local [0,10,-1,1]"}},
        {"XScalingChanged", {S("local"), Ns({0.5, 2, 1})}, {"XScalingChanged local [0.5,2] auto"}},
        {"XScalingChanged", {S("local"), Ns({0.5, 2, 0})}, {"XScalingChanged local [0.5,2] fixed"}},
        {"YScalingChanged", {S("local"), Ns({0.5, 2, nan})}, {"YScalingChanged local [0.5,2] auto"}},
        // Fewer than two values carry no range.
        {"YScalingChanged", {S("local"), Ns({0.5})}, {}},
        {"SetSVG", {S("local"), S("print"), S("<svg/>")}, {"SetSVG local|print|<svg/>"}},
        {"RegionPosChanged", {S("L1"), N(12.5), N(40)}, {"RegionPosChanged L1 12.5 40"}},
        {"RegionTextChanged", {S("T1"), S("Peak \xc3\xbc")}, {"RegionTextChanged T1|Peak \xc3\xbc"}},
        {"OnMouseClick", {N(3.5), S(""), Value::Boolean(true)}, {}},
        {"OnMouseClick", {N(3.5), S("Loop"), Value::Boolean(false)}, {"OnMouseClick Loop|3.5 keep"}},
        {"OnMouseClick", {N(0.25), S("Loop"), N(2)}, {"OnMouseClick Loop|0.25 select"}},
    };
    for (const auto& c : cases) {
        events->lines.clear();
        EXPECT_EQ(Call(c.method, c.arguments), Value()) << c.method;
        EXPECT_EQ(events->lines, c.posted) << c.method << " " << Value::Array(c.arguments).ToText();
    }
    EXPECT_TRUE(Page().Scripts().empty());
}

// Markup that does not parse: observers hear of the failure, and the page, waiting for its
// setup under the loading indicator, shows the parser's message instead.
TEST_F(LumoPage, MarkupThatDoesNotParseShowsTheParsersMessage)
{
    EXPECT_EQ(Call("CompileMarkup", {S("local"), S("a: 1,\nb: <::")}), Value());
    EXPECT_EQ(events->lines, (Lines{"CompileMarkup false"}));
    ASSERT_EQ(Page().Scripts().size(), 1u);
    // The line of the fault, "_" where parsing stopped, shown as text.
    EXPECT_EQ(Page().Scripts()[0], "lumo.get_plot('local').show_error('Expected a datatype on line 2: b:_ &lt;::');");
}

// The markup comes first and the plot id second: the other order would parse "local" as
// markup and set up no plot at all.
TEST_F(LumoPage, CompileMarkupTellsObserversThenSetsThePlotUp)
{
    Page().PlayCall("lumo_proxy", "CompileMarkup", {S("local"), S("a: 0.5, b: 'x'")});
    EXPECT_TRUE(Page().Scripts().empty());  // queued: the page is still in its own script
    Page().RunQueuedCalls();
    EXPECT_EQ(events->lines, (Lines{"CompileMarkup true"}));
    EXPECT_EQ(Page().Scripts(),
              (Lines{"lumo.get_plot('local').setup([\n{\nproperty_name: 'a',\nmarkup:\n0.5\n},\n{\n"
                     "property_name: 'b',\nmarkup:\n'x'\n}\n]);"}));
}

TEST_F(LumoPage, BadPlotterPropertyShowsItsMessageAndPosts)
{
    Call("BadPlotterProperty", {S("local"), S("tp"), S("width"), S("integer greater than 0"), S("1")});
    EXPECT_EQ(Page().Scripts(), (Lines{"lumo.get_plot('local').show_error('Error in tp: the <em>width</em> property "
                                       "must be an  integer greater than 0; using \"1\"');"}));
    EXPECT_EQ(events->lines, (Lines{"BadPlotterProperty tp|width|integer greater than 0|1"}));
    // The page's texts are shown as text, not as markup of the page.
    EXPECT_EQ(KVD::LumoProxyBase::BadPropertyMessage("<b>", "x'y", "", ""),
              "Error in &lt;b&gt;: the <em>x&#39;y</em> property must be a  ; the plotter will fail to draw.");
}

// An owner that keeps the scripts it was asked to run.
class RecordingOwner : public KVD::LumoProxyOwner {
public:
    std::optional<Value> ExecuteJavaScript(const std::string& script) override
    {
        scripts.push_back(script);
        return Value::Boolean(true);
    }
    Web::WebScriptObject* WindowScriptObject() override { return nullptr; }
    std::unique_ptr<AppKit::MenuItem> MenuItemWithName(const std::string& title, const std::string*,
                                                       const std::string*, const std::string*, bool) override
    {
        return std::make_unique<AppKit::MenuItem>(title, "", "");
    }
    void ShowDropDownMenu(AppKit::Menu&, const Gfx::Point&) override {}
    Lines scripts;
};

TEST(LumoProxy, BadPlotterPropertyWithoutErrorVisibilityOnlyPosts)
{
    RecordingOwner owner;
    auto* proxy = new KVD::LumoProxyMac(nullptr, false);
    proxy->AddRef();
    proxy->InitWithOwner(&owner);
    auto* events = new LumoEventLog;
    events->AddRef();
    proxy->AttachObserver(events);
    proxy->Bridge()->Dispatch("BadPlotterProperty", {S("local"), S("tp"), S("width"), S("integer"), S("")});
    EXPECT_TRUE(owner.scripts.empty());
    EXPECT_EQ(events->lines, (Lines{"BadPlotterProperty tp|width|integer|"}));
    // Without a window there are no resource names to give.
    EXPECT_EQ(proxy->Bridge()->Dispatch("ResourceURLs", {}), Value());
    proxy->DetachObserver(events);
    events->Release();
    proxy->Release();
}

TEST_F(LumoPage, DataComesFromSourcesAndEquations)
{
    CalcTest::FloatStream* ramp = CalcTest::FloatStream::Make(CalcTest::Ramp(1000));
    proxy->SetEnumSource(KVD::String(L"$a"), ramp);
    ramp->Release();
    auto* labelled = new LabelledRamp(20);
    proxy->SetEnumSource(KVD::String(L"$l"), labelled);
    labelled->Release();
    proxy->SetEquationSource(KVD::String(L"twice"), KVD::String(L"2*t"), KVD::String(L"Flow \xd7 2"));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* method;
        std::vector<Value> arguments;
        Value answer;
    } cases[] = {
        // Never more than asked, from where asked; a short skip is the end of the data.
        {"RequestPixData", {S("$a"), N(100), N(1), N(3)}, Ns({100, 101, 102})},
        {"RequestPixData", {S("$a"), N(997), N(1), N(10)}, Ns({997, 998, 999})},
        {"RequestPixData", {S("$a"), N(300), N(1), N(0)}, Ns({})},
        {"RequestPixData", {S("$a"), N(2000), N(1), N(10)}, Ns({})},
        {"RequestPixData", {S("$a"), N(-5), N(1), N(2)}, Ns({})},
        {"RequestPixData", {S("$a"), N(nan), N(1), N(2)}, Ns({0, 1})},
        {"RequestPixData", {S("$a"), N(1), N(1), N(nan)}, Ns({})},
        {"RequestPixData", {S("$a"), S("7"), N(1), S("2")}, Ns({7, 8})},
        {"RequestPixData", {S("$missing"), N(0), N(1), N(5)}, Ns({})},
        {"RequestPixData", {S("twice"), N(1), N(0.5), N(3)}, Ns({2, 3, 4})},
        {"RequestPixData", {S("t*t"), N(0), N(1), N(3)}, Ns({0, 1, 4})},
        {"RequestLabelsData", {S("x"), N(0), N(1), N(3)}, Value::Strings({})},
        {"RequestLabelsData", {S("$missing"), N(0), N(1), N(3)}, Value::Strings({})},
        {"RequestLabelsData", {S("$a"), N(0), N(1), N(3)}, Value::Strings({})},  // no labels
        {"RequestLabelsData", {S("$l"), N(18), N(1), N(5)}, Value::Strings({"L18", "L19"})},
        {"RequestEquation", {S("twice")}, S("Flow \xc3\x97 2")},
        {"RequestEquation", {S("$a")}, S("")},
        {"HasData", {}, Value::Boolean(true)},
        {"IsZoomEnabled", {}, Value::Boolean(false)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Call(c.method, c.arguments), c.answer) << c.method << Value::Array(c.arguments).ToText();
    EXPECT_TRUE(events->lines.empty());

    // A whole batch is read from the position, 256 samples at a time, and the count asked for kept.
    const Value many = Call("RequestPixData", {S("$a"), N(100), N(1), N(600)});
    ASSERT_EQ(many.AsArray().size(), 600u);
    EXPECT_EQ(many.AsArray().back(), N(699));

    proxy->ClearDataSources();
    EXPECT_EQ(Call("HasData", {}), Value::Boolean(false));
    EXPECT_EQ(Call("RequestEquation", {S("twice")}), S("Flow \xc3\x97 2"));  // equations stay
}

// RequestPixSamples answers what RequestPixData does, as samples for the binary route, and
// RequestPixColumns a '$' source's samples reduced to pixel columns, RequestPixPath two sources'
// points reduced to their line; a failing source gives none, logged.
TEST_F(LumoPage, SamplesComeAsRequestPixDataWouldGiveThem)
{
    CalcTest::FloatStream* ramp = CalcTest::FloatStream::Make(CalcTest::Ramp(1000));
    proxy->SetEnumSource(KVD::String(L"$a"), ramp);
    ramp->Release();
    auto* broken = new ThrowingSource;
    proxy->SetEnumSource(KVD::String(L"$b"), broken);
    broken->Release();
    EXPECT_EQ(Page().Bridges().at(0).sampleMethods,
              (std::set<std::string>{"RequestPixColumns", "RequestPixPath", "RequestPixSamples"}));
    const auto samples = [&](const char* method, std::vector<Value> arguments) {
        return Page().DispatchSamples("lumo_proxy", method, arguments);
    };
    using D = std::vector<double>;
    EXPECT_EQ(samples("RequestPixSamples", {S("$a"), N(100), N(1), N(3)}), (D{100, 101, 102}));
    EXPECT_EQ(samples("RequestPixSamples", {S("$a"), N(997), N(1), N(10)}), (D{997, 998, 999}));
    EXPECT_EQ(samples("RequestPixSamples", {S("t*t"), N(0), N(0.5), N(3)}), (D{0, 0.25, 1}));
    EXPECT_EQ(samples("RequestPixSamples", {S("$missing"), N(0), N(1), N(5)}), D{});
    EXPECT_EQ(samples("RequestPixData", {S("$a"), N(0), N(1), N(5)}), D{});
    EXPECT_EQ(Page().DispatchSamples("other", "RequestPixSamples", {S("$a"), N(0), N(1), N(5)}), D{});
    EXPECT_EQ(samples("RequestPixSamples", {S("$a"), N(0), N(1), N(600)}).size(), 600u);
    // Columns: the samples read, 0, then the kept pairs. Samples 100.. at x = index, two to a
    // pixel column; index 7 is the page's for sample 100. Past the end the count tells.
    const auto columns = [&](double start, double count, double index, double scaling) {
        return samples("RequestPixColumns", {S("$a"), N(start), N(count), N(index), N(0), N(1), N(0), N(0), N(scaling)});
    };
    EXPECT_EQ(columns(100, 6, 0, 0.5), (D{6, 0, 0, 100, 1, 101, 2, 102, 3, 103, 4, 104, 5, 105}));
    EXPECT_EQ(columns(100, 6, 7, 0.25), (D{6, 0, 7, 100, 8, 101, 11, 104, 12, 105}));
    EXPECT_EQ(columns(995, 10, 0, 0), (D{5, 0, 0, 995, 4, 999}));
    EXPECT_EQ(columns(2000, 10, 0, 0), (D{0, 0}));
    EXPECT_EQ(samples("RequestPixColumns", {S("$missing"), N(0), N(5), N(0), N(0), N(1), N(0), N(0), N(1)}), D{});
    EXPECT_EQ(samples("RequestPixColumns", {S("t*t"), N(0), N(5), N(0), N(0), N(1), N(0), N(0), N(1)}), D{});
    // A path: the points read, the x and y ranges, then the kept pairs. $a against itself,
    // from 100, one pixel a unit on both axes: each point moves a pixel, so each is kept; at
    // a tenth of that scale none after the first adds anything, and going on from (100, 100)
    // not even that.
    const auto path = [&](const char* y, double count, double last, double scaling) {
        return samples("RequestPixPath",
                       {S("$a"), S(y), N(100), N(count), N(last), N(last), N(0), N(0), N(scaling), N(0), N(0), N(scaling)});
    };
    const double none = std::nan("");
    EXPECT_EQ(path("$a", 3, none, 1), (D{3, 100, 102, 100, 102, 100, 100, 101, 101, 102, 102}));
    EXPECT_EQ(path("$a", 3, none, 0.01), (D{3, 100, 102, 100, 102, 100, 100}));
    EXPECT_EQ(path("$a", 3, 100, 0.01), (D{3, 100, 102, 100, 102}));
    EXPECT_EQ(samples("RequestPixPath", {S("$a"), S("$missing"), N(0), N(5), N(none), N(none), N(0), N(0), N(1),
                                         N(0), N(0), N(1)}),
              D{});
    testing::internal::CaptureStderr();
    EXPECT_EQ(samples("RequestPixSamples", {S("$b"), N(0), N(1), N(10)}), D{});
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("lumo_proxy.RequestPixSamples: the recording went away"), std::string::npos) << log;
    EXPECT_TRUE(events->lines.empty());
}

TEST_F(LumoPage, AClickOnARegisteredPlotterNamesItsSourceAndLabel)
{
    auto* labelled = new LabelledRamp(20);
    proxy->SetEnumSource(KVD::String(L"$breaths"), labelled);
    labelled->Release();
    proxy->RegisterClickablePlot(KVD::String(L"$breaths"), KVD::String(L"$partner"), KVD::String(L"Scatter"),
                                 KVD::PlotType::kXYPlot);
    Call("OnMouseClick", {N(7.9), S("scatter"), Value::Boolean(true)});
    EXPECT_EQ(events->lines, (Lines{"OnMouseClick $breaths|L7 select"}));
    EXPECT_EQ(proxy->ClickablePlots().at("$breaths").partnerId, "$partner");
}

TEST_F(LumoPage, ZoomStateAndResourceNames)
{
    Call("SetZoomState", {S("local"), N(1), Value::Boolean(false)});
    EXPECT_TRUE(proxy->CanUndo());
    EXPECT_FALSE(proxy->CanRedo());
    EXPECT_EQ(Call("ResourceURLs", {}), Value::Window());
    const std::map<std::string, Value> expected = {
        {"cursor_all_stretch_t", S("stretch_all_horz.cur")}, {"cursor_all_stretch_r", S("stretch_all_vert_right.cur")},
        {"cursor_down_stretch_r", S("stretch_down.cur")},    {"cursor_up_stretch_r", S("stretch_up.cur")},
        {"cursor_l_stretch_t", S("stretch_left.cur")},       {"cursor_lr_move_t", S("move_horz.cur")},
        {"cursor_r_stretch_t", S("stretch_right.cur")},      {"cursor_up_down_move_r", S("move_vert.cur")},
        {"throbber", S("throbber.gif")},
    };
    EXPECT_EQ(Page().WindowValues(), expected);
}

TEST_F(LumoPage, TheScaleMenuRunsTheAutoScaleScriptTheUserChose)
{
    CalcTest::FloatStream* ramp = CalcTest::FloatStream::Make(CalcTest::Ramp(10));
    proxy->SetEnumSource(KVD::String(L"$a"), ramp);
    ramp->Release();
    AppKit::AlertPresenter& user = AppKit::AlertPresenter::Shared();
    user.ClearShown();
    user.Script({"Auto Scale"});
    // Scale and edges are truncated toward zero.
    Call("MakeDropMenu", {S("local"), N(1.9), N(10.7), N(20.2), N(30.9), N(40.99), Value::Boolean(true), N(0), N(5)});
    ASSERT_EQ(user.MenusShown().size(), 1u);
    EXPECT_EQ(user.MenusShown()[0], (Lines{"Auto Scale", "Unipolar", "Bipolar", "Invert Scale and Data", "Set Scale..."}));
    EXPECT_EQ(Page().Scripts(), (Lines{"lumo.get_plot('local').get_scales()[1].auto_scale();"}));
    EXPECT_EQ(controller->LastMenuLocation().x, 10);
    EXPECT_EQ(controller->LastMenuLocation().y, 300 - 40 - 5);

    // The other items, and Auto Scale without data, do nothing.
    user.Script({"Bipolar"});
    Call("MakeDropMenu", {S("local"), N(0), N(0), N(0), N(0), N(0), Value::Boolean(false), N(0), N(1)});
    proxy->ClearDataSources();
    user.Script({"Auto Scale"});
    Call("MakeDropMenu", {S("local"), N(0), N(0), N(0), N(0), N(0), Value::Boolean(false), N(0), N(1)});
    EXPECT_EQ(Page().Scripts().size(), 1u);
    // A plot id from the page cannot break out of the script's string.
    user.Script({"Auto Scale"});
    proxy->SetEnumSource(KVD::String(L"$a"), nullptr);
    Call("MakeDropMenu", {S("x');evil('"), N(2), N(0), N(0), N(0), N(0), Value::Boolean(false), N(0), N(1)});
    EXPECT_EQ(Page().Scripts().back(), "lumo.get_plot('x\\');evil(\\'').get_scales()[2].auto_scale();");
}

TEST_F(LumoPage, ScriptsWaitForTheLoadedPage)
{
    controller->AttachWebView(nullptr);  // a new view with no page yet
    EXPECT_FALSE(proxy->ExecuteJavaScript(KVD::String(L"1")));
    EXPECT_TRUE(Page().Scripts().empty());
    controller->LoadHTML("<p></p>");
    Page().SetAnswer("1", N(1));
    EXPECT_TRUE(proxy->ExecuteJavaScript(KVD::String(L"1")));
    EXPECT_FALSE(proxy->ExecuteJavaScript(KVD::String(L"undefinedValue")));
}

// A page loaded from its URL is the page scripts go to; a URL the view cannot reach leaves a
// page that never finishes loading, and scripts are dropped.
TEST_F(LumoPage, APageLoadedFromItsUrl)
{
    TestSupport::TempFolder folder;
    const std::string path = (folder.Path() / "plot.html").string();
    std::ofstream(path) << "<div id=\"local\"></div>";
    controller->LoadUrl("file://" + path);
    EXPECT_EQ(controller->GetWebView()->MainFrameURL(), "file://" + path);
    EXPECT_EQ(controller->GetWebView()->PageText(), "<div id=\"local\"></div>");
    EXPECT_TRUE(controller->IsLoaded());
    Page().SetAnswer("1", N(1));
    EXPECT_TRUE(proxy->ExecuteJavaScript(KVD::String(L"1")));
    controller->LoadUrl("http://127.0.0.1/plot.html");
    EXPECT_FALSE(controller->IsLoaded());
    EXPECT_FALSE(proxy->ExecuteJavaScript(KVD::String(L"1")));
}

// An exception from a source ends at the bridge: it is logged and the page gets "".
TEST_F(LumoPage, NoExceptionReachesThePage)
{
    auto* broken = new ThrowingSource;
    proxy->SetEnumSource(KVD::String(L"$b"), broken);
    broken->Release();
    testing::internal::CaptureStderr();
    EXPECT_EQ(Call("RequestPixData", {S("$b"), N(0), N(1), N(10)}), S(""));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("XKVD: lumo_proxy.RequestPixData: the recording went away"), std::string::npos) << log;
    // Too long a list is refused the same way.
    testing::internal::CaptureStderr();
    EXPECT_EQ(Call("VLinesDragged", {S("v"), Ns(std::vector<double>(KVD::LumoJavaScriptProxy::kMaxListLength + 1))}),
              Value());
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(events->lines.empty());
}

TEST(LumoProxy, TheLastReleaseDeletesAndReleasesTheSources)
{
    CalcTest::FloatStream* ramp = CalcTest::FloatStream::Make(CalcTest::Ramp(4));
    auto* proxy = new KVD::LumoProxyMac(nullptr, true);
    EXPECT_EQ(proxy->AddRef(), 1u);
    proxy->SetEnumSource(KVD::String(L"$a"), ramp);
    EXPECT_EQ(ramp->RefCount(), 2u);
    // Rebinding takes the new source and lets the old one go; null keeps an entry.
    proxy->SetEnumSource(KVD::String(L"$a"), nullptr);
    EXPECT_EQ(ramp->RefCount(), 1u);
    EXPECT_TRUE(proxy->HasData());
    proxy->SetEnumSource(KVD::String(L"$a"), ramp);
    EXPECT_EQ(proxy->AddRef(), 2u);
    EXPECT_EQ(proxy->Release(), 1u);
    void* subject = nullptr;
    EXPECT_EQ(proxy->QueryInterface(IID_ISubject, &subject), KVD_S_OK);
    EXPECT_EQ(subject, static_cast<ISubject*>(proxy));
    void* identity = nullptr;
    EXPECT_EQ(proxy->QueryInterface(IID_IUnknown, &identity), KVD_S_OK);
    EXPECT_EQ(identity, subject);
    static_cast<IUnknown*>(identity)->Release();
    void* other = &other;
    EXPECT_EQ(proxy->QueryInterface(IID_IObserver, &other), KVD_E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    static_cast<ISubject*>(subject)->Release();
    EXPECT_EQ(ramp->RefCount(), 2u);
    EXPECT_EQ(proxy->Release(), 0u);
    EXPECT_EQ(ramp->RefCount(), 1u);
    ramp->Release();
}

}  // namespace
}  // namespace PlotTest
