// The plot control with the in-process page: the exact text of every script it sends, the gate
// that drops scripts until the page is connected and loaded, numbers read back from the page,
// the persist task and scale proxies made by the plot id, and the job lists.
#include <gtest/gtest.h>

#include <limits>

#include "LumoPlotFixture.h"
#include "appkit/Window.h"
#include "cf/Bundle.h"
#include "framework/KVDDocViewWindowController.h"
#include "support/TempFolder.h"

namespace PlotTest {
namespace {

using KVD::String;

TEST_F(LumoPlot, ScriptsAreDroppedUntilThePageIsConnectedAndLoaded)
{
    plot = std::make_unique<KVD::LumoPlotMac>(Document(), true);
    plot->CreateJSPlotObject();  // no web view yet
    EXPECT_TRUE(pages.empty());
    plot->AttachWebView(&parent);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(plot->GetViewController().IsConnected());
    EXPECT_FALSE(plot->GetViewController().IsLoaded());
    plot->CreateJSPlotObject();
    plot->PlotterDataChanged(String(L"Loop"), 0, 1);
    EXPECT_FALSE(plot->ExecuteJavaScript(String(L"1")));
    EXPECT_EQ(plot->CallJavaScript(String(L"1")), 0.0);
    EXPECT_TRUE(Page().Scripts().empty());
    plot->LoadHTML(String(L"<div id=\"local\"></div>"), String());
    plot->CreateJSPlotObject();
    EXPECT_EQ(Page().Scripts().size(), 1u);
}

TEST_F(LumoPlot, TheScriptsTextsAreExact)
{
    MakeLoadedPlot();
    plot->CreateJSPlotObject();
    EXPECT_EQ(Page().Scripts(), std::vector<std::string>{"lumo.make_plot('local').dblclick_ms(200);"});
    plot->PlotterDataChanged(String(L"Loop"), 0, 2147483647);
    EXPECT_EQ(LastScript(), "lumo.get_plot('local').plotter_data_changed('Loop', 0, 2147483647);");
    plot->PlotterDataChanged(String(L"a'b"), -5, 7);
    EXPECT_EQ(LastScript(), "lumo.get_plot('local').plotter_data_changed('a\\'b', -5, 7);");
    // The page's answers: a number, or 0 for anything else.
    Page().SetAnswer("lumo.get_plot('local').width()", Web::Value::Number(412.5));
    Page().SetAnswer("document.title", Web::Value::String("7"));
    EXPECT_EQ(plot->CallJavaScript(String(L"lumo.get_plot('local').width()")), 412.5);
    EXPECT_EQ(plot->CallJavaScript(String(L"document.title")), 0.0);
    EXPECT_FALSE(plot->ExecuteJavaScript(String(L"undefined")));
}

// The markup reaches the page as one script string that reads back as the markup itself,
// whatever line ends and backslashes it holds. Without a persist task nothing is added.
TEST_F(LumoPlot, SetMarkupEscapesBackslashesFirstThenQuotesAndLineEnds)
{
    MakeLoadedPlot();
    const struct {
        const wchar_t* markup;
        const char* sent;
    } cases[] = {
        {L"title: 'Flow',\r\nplotters: []", "title: \\'Flow\\',\\r\\nplotters: []"},
        {L"a\nb\rc", "a\\nb\\rc"},
        {L"path: 'C:\\n\\'", "path: \\'C:\\\\n\\\\\\'"},
        {L"", ""},
    };
    for (const auto& c : cases) {
        plot->SetMarkup(String(c.markup));
        EXPECT_EQ(LastScript(), std::string("lumo.get_plot('local').set_markup('") + c.sent + "');");
    }
}

TEST_F(LumoPlot, WithAPlotIdTheMarkupCarriesTheKeptRanges)
{
    MakeLoadedPlot();
    plot->SetPlotId(String(L"flow_plot"));
    ASSERT_NE(plot->GetPersistTask(), nullptr);
    plot->SetScaleRanges(ChannelYDataRange{2, -1}, ChannelYDataRange{10, 0.5}, false, false);
    plot->SetMarkup(String(L"title: 'F'"));
    EXPECT_EQ(LastScript(), "lumo.get_plot('local').set_markup('title: \\'F\\', yscalemin: 0.5,yscalemax: 10, "
                            "do_initial_autoscale_y: false, xscalemin: -1,xscalemax: 2, do_initial_autoscale_x: false, ');");
}

TEST_F(LumoPlot, TheFirstPlotIdMakesThePersistTaskAndTheScaleProxies)
{
    MakeLoadedPlot();
    EXPECT_EQ(plot->GetXScaleProxy(), nullptr);
    plot->SetScaleRanges(ChannelYDataRange{1, 0}, ChannelYDataRange{1, 0}, false, false);  // no task: nothing
    plot->SetPlotId(String(L"first"));
    KVD::LumoPersistTask* task = plot->GetPersistTask();
    ASSERT_NE(task, nullptr);
    EXPECT_EQ(task->PlotId(), String(L"first"));
    ChannelYDataRange x, y;
    task->GetScaleRanges(x, y);
    EXPECT_EQ(x, ChannelYDataRange{});
    ASSERT_NE(plot->GetXScaleProxy(), nullptr);
    EXPECT_EQ(plot->GetXScaleProxy()->GetDirection(), ScaleConsts::kHorizontal);
    EXPECT_EQ(plot->GetYScaleProxy()->GetDirection(), ScaleConsts::kVertical);
    plot->SetPlotId(String(L"second"));
    EXPECT_EQ(plot->GetPersistTask(), task);
    EXPECT_EQ(task->PlotId(), String(L"first"));
}

// Stored only where nothing is stored yet, stored, or applied as the user's rescale, which goes
// to the host and comes back.
TEST_F(LumoPlot, ScaleRangesGoToThePersistTaskByTheFlags)
{
    MakeLoadedPlot();
    plot->SetPlotId(String(L"p"));
    KVD::LumoPersistTask* task = plot->GetPersistTask();
    ChannelYDataRange x, y;
    plot->SetScaleRanges(ChannelYDataRange{5, 1}, ChannelYDataRange{}, false, true);
    plot->SetScaleRanges(ChannelYDataRange{9, 2}, ChannelYDataRange{}, false, true);
    task->GetScaleRanges(x, y);
    EXPECT_EQ(x, (ChannelYDataRange{5, 1}));
    plot->SetScaleRanges(ChannelYDataRange{9, 2}, ChannelYDataRange{3, 2}, false, false);
    task->GetScaleRanges(x, y);
    EXPECT_EQ(x, (ChannelYDataRange{9, 2}));
    EXPECT_EQ(y, (ChannelYDataRange{3, 2}));
    plot->SetScaleRanges(ChannelYDataRange{}, ChannelYDataRange{8, 4}, true, false);
    uint32_t stored = 0;
    host->GetRegistrar()->GetObjectCount(&stored);
    EXPECT_EQ(stored, 1u);
    task->GetScaleRanges(x, y);
    EXPECT_EQ(y, (ChannelYDataRange{8, 4}));
}

TEST_F(LumoPlot, TheScaleProxiesShowAndChangeTheirAxis)
{
    MakeLoadedPlot();
    plot->SetPlotId(String(L"p"));
    plot->SetScaleRanges(ChannelYDataRange{4, 1}, ChannelYDataRange{20, -20}, false, false);
    KVD::ScaleProxy& xs = *plot->GetXScaleProxy();
    KVD::ScaleProxy& ys = *plot->GetYScaleProxy();
    EXPECT_EQ(xs.GetEUnitsMin(), -std::numeric_limits<double>::max());
    EXPECT_EQ(xs.GetEUnitsMax(), std::numeric_limits<double>::max());
    EXPECT_EQ(xs.GetUnitsLow(), 1);
    EXPECT_EQ(xs.GetUnitsHigh(), 4);
    EXPECT_EQ(ys.GetUnitsLow(), -20);
    EXPECT_EQ(ys.GetUnitsHigh(), 20);
    String name(L"set");
    EXPECT_EQ(xs.GetPrefixedUnitsName(String::Setter(name)), KVD_S_OK);
    EXPECT_EQ(name, String());
    EXPECT_EQ(xs.GetPrefixedUnitsName(nullptr), KVD_E_POINTER);
    EXPECT_EQ(xs.GetStyleFlags(), 0u);
    IAutoKVDString* message = nullptr;
    EXPECT_EQ(xs.IsUnitsRangeOK(5, -5, &message), kAutoTrue);
    EXPECT_EQ(message, nullptr);
    // The host holds the axis through its interface; the plot keeps it alive.
    KVD::COMPtr<IScaleProxy> held;
    ASSERT_EQ(ys.QueryInterface(IID_IScaleProxy, held.Set()), KVD_S_OK);
    EXPECT_EQ(held.get(), static_cast<IScaleProxy*>(&ys));
    EXPECT_EQ(held->AddRef(), 1u);
    EXPECT_EQ(held->Release(), 1u);
    KVD::COMPtr<IObserver> other;
    EXPECT_EQ(ys.QueryInterface(IID_IObserver, other.Set()), KVD_E_NOINTERFACE);
    EXPECT_EQ(held->Invert(), KVD_S_OK);
    EXPECT_EQ(ys.GetUnitsLow(), 20);
    EXPECT_EQ(ys.GetUnitsHigh(), -20);
    EXPECT_EQ(xs.GetUnitsHigh(), 4);
    xs.SetHighLowCheckLimits(7, 3);  // a user's rescale: through the host and back
    EXPECT_EQ(xs.GetUnitsLow(), 3);
    EXPECT_EQ(xs.GetUnitsHigh(), 7);
    EXPECT_EQ(ys.GetUnitsLow(), 20);
}

// Finished jobs leave their list at the next request; a job that waits stays.
TEST_F(LumoPlot, PrintAndCopyJobsStayListedUntilFinished)
{
    MakeLoadedPlot();
    KVD::COMPtr<KVD::LumoPrintJob> first = plot->CreatePrintJob(String(L"Flow"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->JobName(), "Flow");
    EXPECT_EQ(first->PlotId(), "local");
    EXPECT_EQ(LastScript(), "lumo.get_plot('local').copy('print');");
    plot->CreatePrintJob(String(L"Flow"));
    EXPECT_EQ(plot->PrintJobs().size(), 2u);
    // The page answers with an SVG the print view refuses, once for each job (a job's failure
    // travels to the dispatcher and ends that answer's delivery): both jobs have failed.
    for (int answer = 0; answer < 2; ++answer) {
        Page().PlayCall("lumo_proxy", "SetSVG", {Web::Value::String("local"), Web::Value::String("print"),
                                                Web::Value::String("<svg")});
        Page().RunQueuedCalls();
    }
    EXPECT_TRUE(first->Failed());
    EXPECT_TRUE(first->Finished());
    plot->CreatePrintJob(String(L"Flow"));
    EXPECT_EQ(plot->PrintJobs().size(), 1u);
    EXPECT_EQ(plot->CopyJobs().size(), 0u);
    KVD::COMPtr<KVD::LumoPrintJob> copy = plot->CopyToClipboard();
    EXPECT_EQ(copy->JobName(), "");
    EXPECT_EQ(plot->CopyJobs().size(), 1u);
}

// A controller of the window that the plot's web view lies in hears of every loaded frame,
// and the plot knows the frames of its own page.
class FrameListener : public SPIRO_KVDDocViewWindowController {
public:
    FrameListener() : SPIRO_KVDDocViewWindowController("none", nullptr) {}
    void OnFrameLoaded(const Web::WebFrame& frame) override { frames.push_back(frame); }
    std::vector<Web::WebFrame> frames;
};

TEST_F(LumoPlot, TheWindowsControllerHearsOfEachLoadedFrame)
{
    FrameListener listener;
    auto owned = std::make_unique<AppKit::Window>(AppKit::Rect{0, 0, 400, 300});
    AppKit::Window& window = *owned;
    window.SetController(&listener);
    auto content = std::make_unique<AppKit::View>(AppKit::Rect{0, 0, 400, 300});
    AppKit::View* holder = content.get();
    window.SetContentView(std::move(content));
    plot = std::make_unique<KVD::LumoPlotMac>(Document(), true);
    KVD::LumoPlotMac other(Document(), true);
    plot->AttachWebView(holder);
    other.AttachWebView(holder);
    plot->LoadHTML(String(L"<div id=\"local\"></div>"), String());
    ASSERT_EQ(listener.frames.size(), 1u);
    EXPECT_TRUE(plot->OwnsWebFrame(listener.frames[0]));
    EXPECT_FALSE(other.OwnsWebFrame(listener.frames[0]));
    EXPECT_FALSE(plot->OwnsWebFrame(Web::WebFrame{}));
    window.SetController(nullptr);
    // The window goes before the plots: their pages are gone, and nothing runs.
    owned.reset();
    EXPECT_EQ(plot->GetWebView(), nullptr);
    EXPECT_FALSE(plot->ExecuteJavaScript(String(L"1")));
    plot->CreateJSPlotObject();
}

// A platform that makes no job: nothing is listed, and finished jobs still leave the list.
class NoJobPlot : public KVD::LumoPlotBase {
public:
    explicit NoJobPlot(IAutoOrrelDoc* document) : KVD::LumoPlotBase(document, true) {}
    bool ExecuteJavaScript(const String&) const override { return false; }
    KVD::COMPtr<KVD::LumoPrintJob> CreatePlatformPrintJob(const std::string&) override { return nullptr; }
    KVD::COMPtr<KVD::LumoPrintJob> CreatePlatformCopyTask() override { return nullptr; }
    unsigned GetDoubleClickDelay() const override { return 0; }
    std::string GetDivId() const override { return "none"; }
    KVD::LumoProxyBase* GetLumoProxy() const override { return nullptr; }
};

TEST_F(LumoPlot, PrintAndCopyNeverListAnEmptyJob)
{
    NoJobPlot none(Document());
    EXPECT_EQ(none.CreatePrintJob(String(L"Flow")), nullptr);
    EXPECT_EQ(none.CopyToClipboard(), nullptr);
    EXPECT_TRUE(none.PrintJobs().empty());
    EXPECT_TRUE(none.CopyJobs().empty());
    // Without a proxy there is no subject, and the data calls go nowhere.
    EXPECT_EQ(none.GetSubject(), nullptr);
    none.SetEnumSource(String(L"$a"), nullptr);
    none.SetPlotId(String(L"p"));
    EXPECT_NE(none.GetPersistTask(), nullptr);
}

// A page missing from the bundle gives nothing, also after another page was read.
TEST_F(LumoPlot, AMissingBundlePageGivesNothing)
{
    TestSupport::TempFolder folder;
    folder.Write("Resources/Plot.html", "<div id=\"local\"></div>");
    NSBundle* bundle = NSBundle::BundleWithPath(folder.Path().string());
    const std::optional<String> page = KVD::LumoViewController::LoadHTMLFromBundle(bundle, "Plot");
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(*page, String(L"<div id=\"local\"></div>"));
    EXPECT_FALSE(KVD::LumoViewController::LoadHTMLFromBundle(bundle, "Missing").has_value());
    EXPECT_FALSE(KVD::LumoViewController::LoadHTMLFromBundle(nullptr, "Plot").has_value());
}

}  // namespace
}  // namespace PlotTest
