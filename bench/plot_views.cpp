// Opening a double-plot view in the live page over an hour of 1 kHz samples per plot, until
// both plots have drawn: with the browser already running, and cold (the browser starts within
// the measured time). Each is repeated; the median is the figure. The running browser settles
// between openings, as it would between a user's. Beside it, the same view over one second of
// samples: what opening costs without the data.
//
// Growth: a single and a double plot view over 10 minutes, an hour and four hours at 1 kHz,
// each plot showing all of its samples, the browser running; x_10min is the median's ratio to
// the same view's over 10 minutes (linear growth would be 6 and 24).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "host/framework/Framework.h"
#include "host/views/OpenedView.h"
#include "plot/LumoHtml.h"
#include "plot/PlotViewHost.h"
#include "plot/TestPlotViews.h"
#include "web/Browser.h"

namespace {

constexpr unsigned kHourAt1kHz = 3600 * 1000;
constexpr unsigned kTenMinutesAt1kHz = 600 * 1000;
constexpr double kBetweenOpenings = 0.3;  // seconds

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
        else
            Host::SettlePages(kBetweenOpenings);  // the browser idle, as between a user's openings
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

// A time plot of the single view's source showing all of its samples.
KVD::String SingleMarkup(unsigned samples)
{
    return KVD::ToKVDString("graticule: null, tplot: {id: 'single', xdata: [0:0.001:end], ydata: '$first'[0:1:end]}, "
                            "fullrange_xscalemin: 0, fullrange_xscalemax: " +
                            std::to_string(samples / 1000));
}

// The median of each view's opening over 10 minutes, for the ratios of the longer ones.
std::map<std::string, double>& TenMinuteTimes()
{
    static std::map<std::string, double> times;
    return times;
}

template <class View>
void OpenGrowing(benchmark::State& state, const wchar_t* className, const char* viewName,
                 std::vector<KVD::LumoPlotMac*> (*plots)(View&))
{
    PlotTest::TestPage() = KVD::LumoHtml::GetLumoHtml();
    const unsigned samples = unsigned(state.range(0));
    PlotTest::TestDoubleView::SampleCount() = samples;
    PlotTest::TestDoubleView::ShowAll() = true;
    PlotTest::TestSingleView::SampleCount() = samples;
    PlotTest::TestSingleView::Markup() = SingleMarkup(samples);
    std::string error;
    if (Web::Browser::Shared(error) == nullptr) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::vector<double> times;
    for (auto _ : state) {
        state.PauseTiming();
        auto host = std::make_unique<PlotTest::PlotViewHost>();
        host->AddViewClass<View>(className);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        {
            const Host::OpenedView view(host->Document(), viewName);
            auto* opened = PlotTest::PlotViewHost::ViewObject<View>(view.View());
            const std::vector<KVD::LumoPlotMac*> shown = plots(*opened);
            bool drawn = true;
            for (KVD::LumoPlotMac* plot : shown)
                drawn = drawn && PlotTest::WaitUntilDrawn({plot}, 60);
            if (!drawn)
                state.SkipWithError("the plots did not draw");
            times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            state.PauseTiming();
        }
        host.reset();
        state.ResumeTiming();
    }
    std::sort(times.begin(), times.end());
    const double median = times.empty() ? 0 : times[times.size() / 2];
    if (samples == kTenMinutesAt1kHz)
        TenMinuteTimes()[viewName] = median;
    const double base = TenMinuteTimes()[viewName];
    state.counters["median_ms"] = median;
    state.counters["x_10min"] = base > 0 ? median / base : 0;
    PlotTest::TestDoubleView::ShowAll() = false;
    PlotTest::TestSingleView::Markup() = KVD::String();
}

std::vector<KVD::LumoPlotMac*> SinglePlots(PlotTest::TestSingleView& view) { return {&view.GetPlot()}; }
std::vector<KVD::LumoPlotMac*> DoublePlots(PlotTest::TestDoubleView& view)
{
    return {&view.GetPlot1(), &view.GetPlot2()};
}

void OpenSingleViewGrowth(benchmark::State& state)
{
    OpenGrowing<PlotTest::TestSingleView>(state, L"Test Plot", "Test Plot", SinglePlots);
}
void OpenDoubleViewGrowth(benchmark::State& state)
{
    OpenGrowing<PlotTest::TestDoubleView>(state, PlotTest::TestDoubleView::kViewName, "Test Double Plot",
                                          DoublePlots);
}

constexpr unsigned kFourHoursAt1kHz = 4 * kHourAt1kHz;
BENCHMARK(OpenSingleViewGrowth)
    ->Arg(kTenMinutesAt1kHz)
    ->Arg(kHourAt1kHz)
    ->Arg(kFourHoursAt1kHz)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();
BENCHMARK(OpenDoubleViewGrowth)
    ->Arg(kTenMinutesAt1kHz)
    ->Arg(kHourAt1kHz)
    ->Arg(kFourHoursAt1kHz)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
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
