// Pull rates of the spirometry enumerators over one hour of 1 kHz data, read straight through
// in blocks of 4096 samples: the short-to-float converter over a 16-bit raw channel, the flow
// enumerator over it (as the host hands raw data to it) and the volume enumerator over a float
// flow channel. The counters report samples per second; beside each, in the same iterations,
// the plain loop over the same samples: widening, scaling, a running sum.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "PlainLoop.h"
#include "calc/ShortToFloatEnum.h"
#include "foundation/COMPtr.h"
#include "foundation/units/UnitEntry.h"
#include "host/framework/Framework.h"
#include "spirometry/SpFlowEnum.h"
#include "spirometry/SpFlowSettings.h"
#include "spirometry/SpVolEnum.h"
#include "support/FakeStreams.h"

namespace {

constexpr uint32_t kBlock = 4096;
constexpr unsigned kSamples = 3600 * 1000;  // one hour at 1 kHz

// Breathing at 15 per minute: the raw signal in stored 16-bit values, the flow in L/s.
const std::vector<int16_t>& RawSignal()
{
    static const std::vector<int16_t> samples = [] {
        std::vector<int16_t> made(kSamples);
        for (unsigned i = 0; i < kSamples; ++i)
            made[i] = static_cast<int16_t>(12000.0 * std::sin(i * 2.0 * 3.14159265358979 / 4000.0));
        return made;
    }();
    return samples;
}

const std::vector<float>& Flow()
{
    static const std::vector<float> samples = [] {
        std::vector<float> made(kSamples);
        for (unsigned i = 0; i < kSamples; ++i)
            made[i] = static_cast<float>(0.8 * std::sin(i * 2.0 * 3.14159265358979 / 4000.0) - 0.05);
        return made;
    }();
    return samples;
}

KVD::String FlowSettings(bool everything)
{
    Spirometry::SpFlowSettings s;
    s.mRawFlowChannel = 0;
    s.mOwnChannel = 1;
    if (everything) {
        s.SetFlowHead(2, 0.0);
        s.mNonLinearCompensation = true;
        s.mDriftCorrection = true;
        s.mClamp = {0.01, true};
    }
    return s.GetSettingStr();
}

// Pulls the enumerator's stream from sample 0 to the end, in blocks.
uint64_t PullAll(ICalcEnum* calc, std::vector<float>& buffer)
{
    KVD::COMPtr<IEnumFloatEx> stream = KVD::com_cast(calc);
    calc->SetInitialPosition(0);
    uint64_t pulled = 0;
    uint32_t got = 0;
    do {
        stream->Next(kBlock, buffer.data(), &got);
        pulled += got;
    } while (got == kBlock);
    benchmark::DoNotOptimize(buffer.data());
    return pulled;
}

// The plain loops, block by block as the enumerators are pulled.
void PlainWidening(std::vector<float>& buffer)
{
    const std::vector<int16_t>& raw = RawSignal();
    for (size_t first = 0; first < raw.size(); first += kBlock) {
        const size_t n = std::min<size_t>(kBlock, raw.size() - first);
        for (size_t i = 0; i < n; ++i)
            buffer[i] = raw[first + i];
        benchmark::DoNotOptimize(buffer.data());
    }
}

void PlainScaling(std::vector<float>& buffer, double scale)
{
    const std::vector<int16_t>& raw = RawSignal();
    for (size_t first = 0; first < raw.size(); first += kBlock) {
        const size_t n = std::min<size_t>(kBlock, raw.size() - first);
        for (size_t i = 0; i < n; ++i)
            buffer[i] = float(raw[first + i] * scale);
        benchmark::DoNotOptimize(buffer.data());
    }
}

void PlainRunningSum(std::vector<float>& buffer, double dt)
{
    const std::vector<float>& flow = Flow();
    double v = 0;
    for (size_t first = 0; first < flow.size(); first += kBlock) {
        const size_t n = std::min<size_t>(kBlock, flow.size() - first);
        for (size_t i = 0; i < n; ++i)
            buffer[i] = float(v += flow[first + i] * dt);
        benchmark::DoNotOptimize(buffer.data());
    }
}

ICalcEnum* Converter(CalcTest::ShortStream* raw)
{
    ICalcEnum* converter = nullptr;
    ConversionEnums::ShortToFloatEnum::Create(&converter);
    IUnknown* rawSources[] = {raw};
    converter->SetSources(0, 1, rawSources, nullptr, 0.001, 0);
    return converter;
}

void BM_ShortToFloat(benchmark::State& state)
{
    Host::Framework::Install();
    std::vector<float> buffer(kBlock);
    Bench::PlainLoop plain;
    uint64_t pulled = 0;
    for (auto _ : state) {
        auto* raw = CalcTest::ShortStream::Make(RawSignal());
        ICalcEnum* converter = Converter(raw);
        plain.Iteration(state, [&] { pulled += PullAll(converter, buffer); }, [&] { PlainWidening(buffer); });
        converter->Release();
        raw->Release();
    }
    plain.Report(state);
    state.counters["samples/s"] = benchmark::Counter(double(pulled), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ShortToFloat)->UseManualTime()->Unit(benchmark::kMillisecond);

void FlowOverRaw(benchmark::State& state, bool everything)
{
    Host::Framework::Install();
    std::vector<float> buffer(kBlock);
    Bench::PlainLoop plain;
    uint64_t pulled = 0;
    for (auto _ : state) {
        auto* raw = CalcTest::ShortStream::Make(RawSignal());
        ICalcEnum* converter = Converter(raw);
        auto* flow = new Spirometry::SpFlowEnum(nullptr, nullptr);
        flow->SetSettings(FlowSettings(everything).AsIAutoKVDString(), nullptr);
        IUnknown* sources[] = {converter};
        flow->SetSources(0, 1, sources, nullptr, 0.001, 0);
        plain.Iteration(state, [&] { pulled += PullAll(flow->CalcFace(), buffer); },
                        [&] { PlainScaling(buffer, 0.000125 * 2.0); });
        flow->Release();
        converter->Release();
        raw->Release();
    }
    plain.Report(state);
    state.counters["samples/s"] = benchmark::Counter(double(pulled), benchmark::Counter::kIsRate);
}

void BM_FlowOverRawLinear(benchmark::State& state)
{
    FlowOverRaw(state, false);
}
BENCHMARK(BM_FlowOverRawLinear)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_FlowOverRawDriftCompensationClamp(benchmark::State& state)
{
    FlowOverRaw(state, true);
}
BENCHMARK(BM_FlowOverRawDriftCompensationClamp)->UseManualTime()->Unit(benchmark::kMillisecond);

// Host data whose only use is to be there: with it the volume enumerator caches its states.
class PresentData final : public IOrrelData2 {
public:
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT QueryInterface(const _IID&, void** out) override
    {
        *out = nullptr;
        return KVD_E_NOINTERFACE;
    }
    HRESULT GetRecordData(IRecordData** out) override
    {
        *out = nullptr;
        return KVD_E_NOTIMPL;
    }
    HRESULT GetChannelUnit(int, TChannelId, IUnitName**) override { return KVD_E_NOTIMPL; }
    HRESULT GetChannelCalculation(TChannelId, IOffLineData**) override { return KVD_E_NOTIMPL; }
    HRESULT GetRecordWindowStart(KVDPosition, int32_t*) override { return KVD_E_NOTIMPL; }
};

void BM_VolumeOverFlow(benchmark::State& state)
{
    Host::Framework::Install();
    static PresentData data;
    KVD::COMPtr<IUnitName> unit(new KVD::UnitEntry(KVD::UnitInfo(0, kUnitPrefixNone, L"L/s")));
    std::vector<float> buffer(kBlock);
    Bench::PlainLoop plain;
    uint64_t pulled = 0;
    for (auto _ : state) {
        auto* flow = CalcTest::FloatStream::Make(Flow());
        auto* volume = new Spirometry::SpVolEnum(nullptr, &data);
        volume->SetSettings(KVD::String(L"-2147483648\t1\t150\t1.05\t1\t").AsIAutoKVDString(), nullptr);
        IUnknown* sources[] = {flow};
        IUnitName* units[] = {unit.get()};
        volume->SetSources(0, 1, sources, units, 0.001, 0);
        plain.Iteration(state, [&] { pulled += PullAll(volume->CalcFace(), buffer); },
                        [&] { PlainRunningSum(buffer, 0.001); });
        volume->Release();
        flow->Release();
    }
    plain.Report(state);
    state.counters["samples/s"] = benchmark::Counter(double(pulled), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_VolumeOverFlow)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
