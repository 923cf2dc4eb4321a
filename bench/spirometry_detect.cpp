// The main road of breath detection over 10 minutes, one hour, four hours and a day of 1 kHz data: a
// host data document whose raw flow-head channel carries the flow calculation on one channel
// and the volume calculation on another; every run starts with the host's computed samples
// dropped, so that it pulls raw data through flow and volume into the detection formula and
// the breath list. Beside it, in the same iterations, the plain loop a user would write over
// the same raw samples: flow, running volume, breaths between rises through the level with
// their volume extremes. x_1h is a longer recording's median over the hour's, both of the same
// run (4 for four hours and 24 for a day when the time grows linearly).
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "IChannelCalc.h"
#include "PlainLoop.h"
#include "foundation/CAFClassObject.h"
#include "foundation/ClassObjectAccessor.h"
#include "host/calc/PublishedFunctions.h"
#include "host/document/DataDocument.h"
#include "host/framework/Framework.h"
#include "host/synth/SyntheticBreathing.h"
#include "spirometry/SpFlowSettings.h"
#include "spirometry/SpVolSettings.h"
#include "spirometry/SpiroIds.h"
#include "spirometry/SpiroMachine.h"

namespace {

// Runs of quiet breaths (about 3.7 s each) around five forced ones: 160 a run make an hour.
Host::SyntheticOptions Breathing(int minutes)
{
    Host::SyntheticOptions options;
    options.rate = 1000;
    options.quietBreathsPerRun = minutes * 160 / 60;
    options.forcedBreaths = 5;
    return options;
}

struct Owner : Spirometry::SpiroMachine::Document {
    int32_t GetRawFlowChannel() const override { return 0; }
    double GetCustomConstant() const override { return Host::SyntheticOptions().headScale; }
};

KVD::COMPtr<ICalculation> PutOn(Host::DataDocument& doc, TCAFId cls, int channel, const IPersistObject* settings)
{
    KVD::COMPtr<ICalculationClass> calcClass;
    ObjectFactoryAccessor::Get()->GetClassObject(cls, IID_ICalculationClass, calcClass.Set());
    KVD::COMPtr<ICalculation> calculation;
    calcClass->Create(TChannelId{channel, 0}, &doc.Data(), calculation.Set());
    calculation->Configure(settings, kAutoTrue);
    doc.Data().SetCalculation(TChannelId{channel, 0}, calculation);
    return calculation;
}

// The plain loop, in one pass: flow in L/s from the raw values and volume as a running sum,
// both kept as channels; a breath wherever the flow rises through the level after it fell
// below its negative, with its largest volume and the lowest after it. Answers the number of
// breaths.
int PlainBreaths(const std::vector<int16_t>& raw, double litresPerStep, double dt, float level,
                 std::vector<float>& flow, std::vector<float>& volume)
{
    double v = 0;
    int breaths = 0;
    bool inspiring = false, started = false;
    float top = 0, bottom = 0, sizes = 0;
    for (size_t i = 0; i < raw.size(); ++i) {
        const float f = flow[i] = float(raw[i] * litresPerStep);
        const float x = volume[i] = float(v += f * dt);
        if (inspiring ? f < -level : f > level) {
            inspiring = !inspiring;
            if (inspiring) {
                breaths += started;
                sizes += top - bottom;
                started = true;
                top = bottom = x;
            }
        }
        if (x > top)
            top = bottom = x;
        else if (x < bottom)
            bottom = x;
    }
    benchmark::DoNotOptimize(sizes);
    return breaths;
}

void BM_BreathsFromRawChannel(benchmark::State& state)
{
    Host::Framework::Install();
    CAFClassObject::RegisterAll();
    Host::PublishFormulaFunctions();

    const Host::SyntheticOptions options = Breathing(static_cast<int>(state.range(0)));
    const Host::SyntheticBreathing synth(options);
    Host::DataDocument doc(std::make_shared<Host::Recording>(synth.MakeRecording("breathing.edf")));
    const int flowChannel = doc.AddChannel("Flow", "L/s");
    const int volumeChannel = doc.AddChannel("Volume", "L");
    Spirometry::SpFlowSettings flow;
    flow.mRawFlowChannel = 0;
    flow.SetFlowHead(5, options.headScale);
    flow.mDriftCorrection = true;
    const KVD::COMPtr<ICalculation> flowCalc = PutOn(doc, Spirometry::SpFlowCalcTypeId(), flowChannel, &flow);
    Spirometry::SpVolSettings volume;
    volume.mFlowChannel = flowChannel;
    const TCAFId volumeClass = TypeIdClass<&Spirometry::SpiroCalcGUID, Spirometry::kSpVolCalcSubId>::GetId();
    const KVD::COMPtr<ICalculation> volumeCalc = PutOn(doc, volumeClass, volumeChannel, &volume);

    Owner owner;
    Spirometry::SpConfig settings;
    settings.mSpFlowCalcChan = flowChannel;
    settings.mSpVolCalcChan = volumeChannel;
    Spirometry::SpiroMachine machine(owner, settings);
    const uint32_t ticks = doc.Channels().Ticks(0);

    const std::vector<int16_t>& raw = doc.Channels().GetRecording().Record(0).samples[0];
    const double litresPerStep = options.voltsPerStep * options.headScale;
    std::vector<float> plainFlow(raw.size()), plainVolume(raw.size());
    Bench::PlainLoop plain;
    int breaths = 0, plainBreaths = 0;
    for (auto _ : state) {
        doc.Channels().DropComputed();
        plain.Iteration(
            state, [&] { breaths = machine.Go(&doc.Data(), KVDPosition{0, 0}, KVDPosition{ticks, 0}, true); },
            [&] { plainBreaths = PlainBreaths(raw, litresPerStep, 1.0 / options.rate, 0.1f, plainFlow, plainVolume); });
    }
    plain.Report(state);
    // The growth over the hour's median in the same run: linear would be 4 for four hours.
    static double hourMedian = 0;
    if (state.range(0) == 60)
        hourMedian = plain.MedianSeconds();
    state.counters["median ms"] = 1000.0 * plain.MedianSeconds();
    if (hourMedian > 0 && state.range(0) > 60) {
        state.counters["x_1h"] = plain.MedianSeconds() / hourMedian;
        // The same per hour of recording: 1 when the time grows linearly.
        state.counters["x_1h per hour"] = plain.MedianSeconds() / hourMedian * 60.0 / double(state.range(0));
    }
    state.counters["breaths"] = breaths;
    state.counters["plain breaths"] = plainBreaths;
    state.counters["true breaths"] = static_cast<double>(synth.Breaths().size());
    state.counters["samples/s"] =
        benchmark::Counter(static_cast<double>(ticks) * state.iterations(), benchmark::Counter::kIsRate);
    doc.Close();
}
// 10 minutes, an hour, four hours and a day: the time grows with the recording. The day holds
// about 1.6 GB (its raw samples, flow and volume computed and the plain loop's own); its first
// run also maps its computed channels in, so it runs a few times for a median of the rest.
// Two seconds of runs each at least: x_1h is a ratio of two medians on a shared machine.
BENCHMARK(BM_BreathsFromRawChannel)
    ->Arg(10)
    ->Arg(60)
    ->Arg(240)
    ->MinTime(2.0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BreathsFromRawChannel)->Arg(1440)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
