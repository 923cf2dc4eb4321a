// The spirometry data view over a 10-minute selection at 1 kHz: opening it in the live page
// until both plots and their overlays have drawn, with the browser already running; and one
// mouse move over the flow overlay (the cursor snapping to the trace and the readout set) on
// in-process pages with a fixed axis mapping. Each is repeated; the median is the figure.
// Growth: the data view, the loop and the report opened over 10 minutes, an hour and four hours
// of breathing (x_10min is the median's ratio to the 10-minute one; linear growth would be 6
// and 24).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <vector>

#include "FrameworkIds.h"
#include "SpiroDocumentHost.h"
#include "appkit/TextField.h"
#include "appkit/Window.h"
#include "cf/Bundle.h"
#include "foundation/ClassObjectAccessor.h"
#include "framework/CAFOwlDocView.h"
#include "framework/OwlDocViewClass.h"
#include "graphics/RecordingContext.h"
#include "host/framework/Framework.h"
#include "host/loader/ClassRegistration.h"
#include "host/views/OpenedView.h"
#include "plot/TestPlotViews.h"
#include "plugin/SpiroViewClass.h"
#include "spirometry/SpiroIds.h"
#include "support/HostEnvironment.h"
#include "views/AnnotationView.h"
#include "views/OpenedSpiroView.h"
#include "views/ReportView.h"
#include "views/SpiroDataView.h"
#include "views/SpiroDataWindow.h"
#include "views/SpiroLoopView.h"
#include "views/SpiroReportWindow.h"
#include "web/Browser.h"
#include "web/InProcessPage.h"
#include "web/WebView.h"

namespace {

constexpr uint32_t kTicksPerMinute = 60 * 1000;

// Enough quiet breaths around the forced ones for more than that many minutes at 1 kHz (60 a
// run for ten minutes).
std::shared_ptr<Host::Recording> MinutesOfBreathing(uint32_t minutes)
{
    static std::map<uint32_t, std::shared_ptr<Host::Recording>> recordings;
    std::shared_ptr<Host::Recording>& recording = recordings[minutes];
    if (recording == nullptr) {
        Host::SyntheticOptions options;
        options.rate = 1000;
        options.quietBreathsPerRun = int(6 * minutes);
        options.forcedBreaths = 2;
        recording = std::make_shared<Host::Recording>(Host::SyntheticBreathing(options).MakeRecording("long.edf"));
    }
    return recording;
}

// The analysed document over the first minutes (ten unless asked), and its data view opened
// through the view class as the plug-in registers it. In-process pages when asked; the
// browser's otherwise.
class DataViewBench : public SpiroTest::SpiroDocumentHost {
public:
    explicit DataViewBench(bool inProcessPages, uint32_t minutes = 10)
    {
        if (inProcessPages)
            Web::Page::SetFactory([this] {
                auto page = std::make_unique<Web::InProcessPage>();
                mPages.push_back(page.get());
                return page;
            });
        Open(MinutesOfBreathing(minutes));
        AddCalculations();
        Spirometry::SpiroDocument& doc = CreateDocument();
        doc.SetSpFlowCalcChan(mFlow);
        doc.SetSpVolCalcChan(mVolume);
        Select(KVDPosition{0, 0}, KVDPosition{minutes * kTicksPerMinute, 0});
        using DataViewClass = SpiroViewClass<Spirometry::SpiroDataView>;
        auto* cls = new DataViewClass(Spirometry::SpiroDataView::GetStaticViewName(), L"Spirometry Data View",
                                      Spirometry::SpiroDataViewTypeId(), KVDGetMyBundle());
        ViewsTest::RegisterViewClass(static_cast<IDocViewClass*>(cls), Spirometry::SpiroDataViewTypeId());
        using LoopViewClass = SpiroViewClass<Spirometry::SpiroLoopView>;
        auto* loop = new LoopViewClass(Spirometry::SpiroLoopView::GetStaticViewName(), L"Spirometry Loop View",
                                       Spirometry::SpiroLoopViewTypeId(), KVDGetMyBundle());
        ViewsTest::RegisterViewClass(static_cast<IDocViewClass*>(loop), Spirometry::SpiroLoopViewTypeId());
        using ReportClass = CAFOwlDocViewClass<CAFOwlDocView<Spirometry::ReportView>>;
        auto* report = new ReportClass(Spirometry::ReportView::GetStaticViewName(), &CATID_OrrelViewClass, 1,
                                       L"Spirometry Report", Spirometry::SpiroReportViewTypeId(),
                                       NSBundle::BundleWithPath(SPIRO_BUNDLE), {&IID_IDocument, &Spirometry::IID_ISpiroDocInterface});
        ViewsTest::RegisterViewClass(static_cast<IDocViewClass*>(report), Spirometry::SpiroReportViewTypeId());
    }
    ~DataViewBench() override
    {
        mOpened.Close();
        mLoop.Close();
        mReport.Close();
        ObjectFactoryAccessor::Get()->RevokeClassObject(Spirometry::SpiroDataViewTypeId());
        ObjectFactoryAccessor::Get()->RevokeClassObject(Spirometry::SpiroReportViewTypeId());
        ObjectFactoryAccessor::Get()->RevokeClassObject(Spirometry::SpiroLoopViewTypeId());
        TearDown();
        Web::Page::SetFactory(nullptr);
    }
    void TestBody() override {}

    Spirometry::SpiroDataView& OpenView() { return mOpened.Open(mChild, Spirometry::SpiroDataViewTypeId()); }
    void CloseView() { mOpened.Close(); }
    Spirometry::SpiroLoopView& OpenLoop() { return mLoop.Open(mChild, Spirometry::SpiroLoopViewTypeId()); }
    void CloseLoop() { mLoop.Close(); }
    Spirometry::ReportView& OpenReport() { return mReport.Open(mChild, Spirometry::SpiroReportViewTypeId()); }
    void CloseReport() { mReport.Close(); }
    const std::vector<Web::InProcessPage*>& Pages() const { return mPages; }

private:
    ViewsTest::OpenedSpiroView<Spirometry::SpiroDataView> mOpened;
    ViewsTest::OpenedSpiroView<Spirometry::SpiroLoopView> mLoop;
    ViewsTest::OpenedSpiroView<Spirometry::ReportView> mReport;
    std::vector<Web::InProcessPage*> mPages;
};

// Both overlays drawn once on a context of their size: what the window's display costs them.
void DrawOverlays(SpiroDataWindow& window)
{
    for (AnnotationViewBase* overlay : {window.FlowAnnotation(), window.VolumeAnnotation()}) {
        Gfx::RecordingContext context(Gfx::Size{overlay->Frame().width, overlay->Frame().height});
        overlay->DrawSelf(context);
    }
}

void OpenDataViewBrowserRunning(benchmark::State& state)
{
    std::string error;
    if (Web::Browser::Shared(error) == nullptr) {
        state.SkipWithError(error.c_str());
        return;
    }
    DataViewBench bench(false);
    for (auto _ : state) {
        Spirometry::SpiroDataView& view = bench.OpenView();
        if (!PlotTest::WaitUntilDrawn({&view.GetPlot1(), &view.GetPlot2()}, 30))
            state.SkipWithError("the plots did not draw");
        // The overlays read the page's mapping when they draw.
        DrawOverlays(*view.GetDataWindow());
        state.PauseTiming();
        bench.CloseView();
        state.ResumeTiming();
    }
}

// 1 once the loop's plot has set up its scatter plot and no draw is pending.
bool LoopDrawn(KVD::LumoPlotMac& plot, double seconds)
{
    static const KVD::String drawn(
        L"(function (p) { return p && p.plotters.some(function (q) { return q.kind === 'scatter' || q.kind === 'xy'; }) "
        L"&& p.scheduler.pending === null && p.timings.draw !== undefined ? 1 : 0; })(lumo.get_plot('local'))");
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int rounds = 0;
    do {
        rounds = plot.CallJavaScript(drawn) == 1 ? rounds + 1 : 0;
        if (rounds == 2)
            return true;
        Host::SettlePages(0.005);
    } while (std::chrono::steady_clock::now() < until);
    return false;
}

// Opens the data view (which == 0), the loop view (1) or the report (2) over the minutes of
// state.range(0), each until it shows its data, and
// records the median and its ratio to the 10-minute one.
void OpenGrowing(benchmark::State& state, int which)
{
    static double tenMinutes[3] = {0, 0, 0};
    std::string error;
    if (Web::Browser::Shared(error) == nullptr) {
        state.SkipWithError(error.c_str());
        return;
    }
    const uint32_t minutes = uint32_t(state.range(0));
    DataViewBench bench(false, minutes);
    std::vector<double> times;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (which == 0) {
            Spirometry::SpiroDataView& view = bench.OpenView();
            if (!PlotTest::WaitUntilDrawn({&view.GetPlot1(), &view.GetPlot2()}, 60))
                state.SkipWithError("the plots did not draw");
            DrawOverlays(*view.GetDataWindow());
        } else if (which == 1) {
            if (!LoopDrawn(bench.OpenLoop().GetPlot(), 60))
                state.SkipWithError("the loop did not draw");
        } else {
            Spirometry::ReportView& report = bench.OpenReport();
            Host::SettlePages(0);
            if (report.GetWindowController()->GetWebView()->PageText().empty())
                state.SkipWithError("the report did not load");
        }
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        state.PauseTiming();
        bench.CloseView();
        bench.CloseLoop();
        bench.CloseReport();
        state.ResumeTiming();
    }
    std::sort(times.begin(), times.end());
    const double median = times.empty() ? 0 : times[times.size() / 2];
    if (minutes == 10)
        tenMinutes[which] = median;
    state.counters["median_ms"] = median;
    state.counters["x_10min"] = tenMinutes[which] > 0 ? median / tenMinutes[which] : 0;
}

void OpenDataViewGrowth(benchmark::State& state) { OpenGrowing(state, 0); }
void OpenLoopViewGrowth(benchmark::State& state) { OpenGrowing(state, 1); }
void OpenReportViewGrowth(benchmark::State& state) { OpenGrowing(state, 2); }

void MouseMoveOverOverlay(benchmark::State& state)
{
    DataViewBench bench(true);
    Spirometry::SpiroDataView& view = bench.OpenView();
    // 100 pixels a second from the start; -50 pixels a litre per second from 8 L/s at the top.
    for (Web::InProcessPage* page : bench.Pages()) {
        page->SetAnswer("lumo.get_plot('local').get_x_scaling().get_offset()", Web::Value::Number(0));
        page->SetAnswer("lumo.get_plot('local').get_x_scaling().get_scaling()", Web::Value::Number(100));
        page->SetAnswer("lumo.get_plot('local').get_y_scaling().get_offset()", Web::Value::Number(8));
        page->SetAnswer("lumo.get_plot('local').get_y_scaling().get_scaling()", Web::Value::Number(-50));
    }
    SpiroDataWindow& window = *view.GetDataWindow();
    DrawOverlays(window);  // the mapping comes with a draw
    AnnotationViewBase& overlay = *window.FlowAnnotation();
    AppKit::Window& native = window.GetWindow();
    native.SetAcceptsMouseMovedEvents(true);
    const double width = overlay.Frame().width;
    AppKit::Event moved;
    moved.type = AppKit::EventType::MouseMoved;
    double x = 10;
    for (auto _ : state) {
        // A new pixel each time, so that each move snaps to another sample.
        x = x + 1 < width ? x + 1 : 10;
        moved.locationInWindow = overlay.ConvertPointToWindow(Gfx::Point{x, 50});
        native.SendEvent(moved);
    }
    if (overlay.TracePos().x < 0 || window.FlowReadout()->StringValue().empty())
        state.SkipWithError("the cursor did not snap or the readout stayed empty");
}

BENCHMARK(OpenDataViewBrowserRunning)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(OpenDataViewGrowth)->Arg(10)->Arg(60)->Arg(240)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(OpenLoopViewGrowth)->Arg(10)->Arg(60)->Arg(240)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(OpenReportViewGrowth)->Arg(10)->Arg(60)->Arg(240)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(MouseMoveOverOverlay)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv)
{
    TestSupport::HostEnvironment().SetUp();
    static const bool registered = [] {
        Host::RegisterDocumentAndViewClasses();
        return true;
    }();
    (void)registered;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Web::Browser::Shutdown();
    return 0;
}
