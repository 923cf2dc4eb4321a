// The plot engine's host-side hot paths: the data view's markup parsed and turned into the
// page's script literal, and equation samples (compare bench_composite's Ch1*2+1, the formula
// library's composite enumerator on the same arithmetic).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "plot/Evaluate.h"
#include "plot/MarkupToJSON.h"

namespace {

// The flow plot's markup as the data view builds it, with the plot state appended after it:
// 40 declarations, nested ones included.
const char* const kDataViewMarkup =
    "topmargin: 20, rightmargin: 40, "
    "tplot: {id: 'spirometry_flow_plot', xdata: [12.5:0.001:end], ydata: '$Spiro_Flow_Data' [12500:1:60000], "
    "colour: #1f77b4ff}, "
    "graticule: { colour:#c0c0c0ff }, xlabel: 'Time (s)', ylabel: 'Flow (L/s)', "
    "fullrange_yscalemin: -8.25,fullrange_yscalemax: 9.5,fullrange_xscalemin: 12.5,fullrange_xscalemax: 60,"
    "yscalemin: -6.5, yscalemax: 7.25, xscalemin: 20.125, xscalemax: 45.5, "
    "legend: {x: 0.75, y: 0.1, visible: true, title: 'Breaths'}, "
    "textregion: {x: 0.1, y: 0.2, text: 'PEF 8.1 L/s', colour: #000000ff}, "
    "markers: [1.5, 2.25, 3.125, 4.5, 6.75], cursor: {x: 31.25, snap: false}, "
    "zoom: {enabled: true, min: 0.01, max: 100}, "
    "labels: 'breath_labels'#202020ff, title: null";

void MarkupToLiteral(benchmark::State& state)
{
    const std::string markup = kDataViewMarkup;
    std::string literal;
    for (auto _ : state) {
        if (!Lumo::MarkupToJSON(markup, literal))
            state.SkipWithError("the markup does not parse");
        benchmark::DoNotOptimize(literal.data());
    }
}
BENCHMARK(MarkupToLiteral)->Unit(benchmark::kMicrosecond);

// Samples per second of one Evaluate call (compile once, run per sample) of block samples.
void Evaluate2tPlus1(benchmark::State& state)
{
    const unsigned block = static_cast<unsigned>(state.range(0));
    std::vector<double> out;
    for (auto _ : state) {
        if (!KVD::Evaluate("2*t+1", 0, 0.001, block, out))
            state.SkipWithError("the equation does not compile");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * block);
}
BENCHMARK(Evaluate2tPlus1)->Arg(4096)->Arg(65536);

}  // namespace

BENCHMARK_MAIN();
