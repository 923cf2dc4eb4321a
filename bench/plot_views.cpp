// Opening a double-plot view in the live page over an hour of 1 kHz samples per plot, until
// both plots have drawn: with the browser already running, and cold (the browser starts within
// the measured time). Each is repeated; the median is the figure. Beside it, the same view over
// one second of samples: what opening costs without the data.
#include <benchmark/benchmark.h>

#include "host/framework/Framework.h"
#include "host/views/OpenedView.h"
#include "plot/LumoHtml.h"
#include "plot/PlotViewHost.h"
#include "plot/TestPlotViews.h"
#include "web/Browser.h"

namespace {

constexpr unsigned kHourAt1kHz = 3600 * 1000;

void OpenDoubleView(benchmark::State& state, bool cold)
{
    PlotTest::TestPage() = KVD::LumoHtml::GetLumoHtml();
    PlotTest::TestDoubleView::SampleCount() = unsigned(state.range(0));
    std::string error;
    for (auto _ : state) {
        state.PauseTiming();
        if (cold)
            Web::Browser::Shutdown();
        else if (Web::Browser::Shared(error) == nullptr)
            state.SkipWithError(error.c_str());
        auto host = std::make_unique<PlotTest::PlotViewHost>();
        host->AddViewClass<PlotTest::TestDoubleView>(PlotTest::TestDoubleView::kViewName);
        state.ResumeTiming();
        {
            const Host::OpenedView view(host->Document(), "Test Double Plot");
            auto* both = PlotTest::PlotViewHost::ViewObject<PlotTest::TestDoubleView>(view.View());
            if (!PlotTest::WaitUntilDrawn({&both->GetPlot1(), &both->GetPlot2()}, 30))
                state.SkipWithError("the plots did not draw");
            state.PauseTiming();
        }
        host.reset();
        state.ResumeTiming();
    }
}

void OpenDoubleViewBrowserRunning(benchmark::State& state) { OpenDoubleView(state, false); }
void OpenDoubleViewCold(benchmark::State& state) { OpenDoubleView(state, true); }

BENCHMARK(OpenDoubleViewBrowserRunning)
    ->Arg(kHourAt1kHz)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(OpenDoubleViewCold)
    ->Arg(kHourAt1kHz)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    Host::Framework::Install();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Web::Browser::Shutdown();
    return 0;
}
