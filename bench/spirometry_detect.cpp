// The main road of breath detection over one hour of 1 kHz data: a host data document whose
// raw flow-head channel carries the flow calculation on one channel and the volume calculation
// on another; every run starts with the host's computed samples dropped, so that it pulls raw
// data through flow and volume into the detection formula and the breath list.
#include <benchmark/benchmark.h>

#include <memory>

#include "IChannelCalc.h"
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

// About an hour of breathing: six runs of 160 quiet breaths around five forced ones.
Host::SyntheticOptions HourOfBreathing()
{
    Host::SyntheticOptions options;
    options.rate = 1000;
    options.quietBreathsPerRun = 160;
    options.forcedBreaths = 5;
    return options;
}

struct Owner : Spirometry::SpiroMachine::Document {
    int32_t GetRawFlowChannel() const override { return 0; }
    double GetCustomConstant() const override { return HourOfBreathing().headScale; }
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

void BM_BreathsFromRawChannel(benchmark::State& state)
{
    Host::Framework::Install();
    CAFClassObject::RegisterAll();
    Host::PublishFormulaFunctions();

    const Host::SyntheticOptions options = HourOfBreathing();
    const Host::SyntheticBreathing synth(options);
    Host::DataDocument doc(std::make_shared<Host::Recording>(synth.MakeRecording("hour.edf")));
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
    int breaths = 0;
    for (auto _ : state) {
        state.PauseTiming();
        doc.Channels().DropComputed();
        state.ResumeTiming();
        breaths = machine.Go(&doc.Data(), KVDPosition{0, 0}, KVDPosition{ticks, 0}, true);
    }
    state.counters["breaths"] = breaths;
    state.counters["true breaths"] = static_cast<double>(synth.Breaths().size());
    state.counters["samples/s"] =
        benchmark::Counter(static_cast<double>(ticks) * state.iterations(), benchmark::Counter::kIsRate);
    doc.Close();
}
BENCHMARK(BM_BreathsFromRawChannel)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
