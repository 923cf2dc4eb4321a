// Trace drawing over one hour of 1 kHz data: the host's poly-line enumerator reducing it to
// 2,000 pixel columns, beside a plain min/max loop over the same floats in the same run (the
// reduction is memory-bound: the ratio says what the enumerator costs beyond the loop), and a
// full redraw of a pane with graticule, two traces and the time scale into a 2000 x 600 image.
// The counters report samples per second and the ratio.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "HourOfBreathing.h"
#include "IPolyLineEnumEx.h"
#include "foundation/COMPtr.h"
#include "graphics/Canvas.h"
#include "host/drawing/DrawingServices.h"
#include "support/TracePane.h"
#include "trace/GraticuleDrawer.h"
#include "trace/PolyLineTraceDrawer.h"

namespace {

constexpr uint32_t kTicks = BenchData::kHourTicks;
constexpr int64_t kColumns = 2000;
constexpr int64_t kTicksPerColumn = kTicks / kColumns;
constexpr uint32_t kUnits = 0x40001000;

// The channel's values as floats, as the enumerator reads them.
const std::vector<float>& HourFloats()
{
    static const std::vector<float> floats = [] {
        const Host::Recording& rec = *BenchData::HourOfBreathing();
        std::vector<float> made(kTicks);
        for (uint32_t t = 0; t < kTicks; ++t)
            made[t] = float(rec.PhysicalAt(0, 0, t));
        return made;
    }();
    return floats;
}

void PolyLineReduction(benchmark::State& state)
{
    const KVD::COMPtr<IRecordData> data = BenchData::HourOfBreathingData();
    const int64_t pair[2] = {kTicksPerColumn, 1};
    const DataScaling scaling{-100.0, -1.0};
    PolyLinePoint points[kPolyLineMaxPoints];
    int64_t checksum = 0;
    for (auto _ : state) {
        KVD::COMPtr<IPolyLineEnumEx> lines;
        data->CreatePolyLineEnum(kUnits, 0, pair, 0x7FFFFFFFFFFFFFFF, 0, 0, &scaling, 0, lines.Set());
        for (int64_t done = 0; done < kColumns;) {
            uint32_t produced = 0;
            int64_t consumed = 0;
            lines->Next(kColumns - done, int32_t(done), kPolyLineMaxPoints, points, &produced, &consumed);
            checksum += produced != 0 ? points[produced - 1].y : 0;
            done += consumed;
            if (consumed == 0)
                break;
        }
    }
    benchmark::DoNotOptimize(checksum);
    state.counters["samples/s"] = benchmark::Counter(double(kTicks) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(PolyLineReduction)->Unit(benchmark::kMillisecond);

// The same reduction as a plain loop over the floats in memory: min and max per column.
void PlainMinMax(benchmark::State& state)
{
    const std::vector<float>& floats = HourFloats();
    std::vector<float> low(kColumns), high(kColumns);
    for (auto _ : state) {
        for (int64_t c = 0; c < kColumns; ++c) {
            const float* p = floats.data() + c * kTicksPerColumn;
            float lo = std::numeric_limits<float>::infinity(), hi = -lo;
            for (int64_t i = 0; i < kTicksPerColumn; ++i) {
                lo = p[i] < lo ? p[i] : lo;
                hi = p[i] > hi ? p[i] : hi;
            }
            low[size_t(c)] = lo;
            high[size_t(c)] = hi;
        }
        benchmark::DoNotOptimize(low.data());
        benchmark::DoNotOptimize(high.data());
    }
    state.counters["samples/s"] = benchmark::Counter(double(kTicks) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(PlainMinMax)->Unit(benchmark::kMillisecond);

// A 2000 x 600 pane: graticule and trace in each of two channel panes, the time scale below.
void PaneRedraw(benchmark::State& state)
{
    TestSupport::TracePane pane;
    for (int channel : {0, 1}) {
        auto& p = pane.AddPane();
        p.AddRecordDrawer(0, KVD::COMPtr<IOrrelRecordDrawer>(new OrrelDraw::GraticuleDrawer(
                                 0x1000, TChannelId{channel, kUnits}, kScaleLeft, 0,
                                 TColor(0x8A8A, 0x8A8A, 0x8A8A), false)),
                          255);
        p.AddRecordDrawer(0, KVD::COMPtr<IOrrelRecordDrawer>(new OrrelDraw::PolyLineTraceDrawer(
                                 0x1000, TChannelId{channel, kUnits}, 1, nullptr, kNoChannel, 0, 0x201, 1)),
                          255);
    }
    pane.SetRecordData(BenchData::HourOfBreathingData(), kTicksPerColumn, 1);
    pane.AttachDrawers(0);
    pane.AttachDrawers(1);
    pane.Layout(int(kColumns) + 2 * TestSupport::TracePane::kBorder, 600, 24);
    pane.SetRange(0, 1.0, -1.0);
    pane.SetRange(1, 1.5, -1.5);
    auto canvas = Gfx::Canvas::CreateImage(int(kColumns) + 2, 600);
    auto dc = CreateTDC(&canvas->GetContext(), true);
    for (auto _ : state)
        pane.Draw(*dc, 0);
    state.counters["samples/s"] =
        benchmark::Counter(2.0 * kTicks * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(PaneRedraw)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
