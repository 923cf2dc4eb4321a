// Pull rates of the enumerator bases: a single-source enumerator and the recursive-filter
// base, each read straight through in blocks of 4096 samples. The counters report samples per
// second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "host/framework/Framework.h"
#include "support/FakeStreams.h"
#include "support/LeakyIntegrator.h"
#include "support/ScaleEnum.h"

namespace {

constexpr uint32_t kBlock = 4096;
constexpr unsigned kSamples = 1 << 22;  // 4M samples: many recursive-filter cache blocks

const std::vector<float>& Data()
{
    static const std::vector<float> samples = [] {
        std::vector<float> made(kSamples);
        for (unsigned i = 0; i < kSamples; ++i)
            made[i] = static_cast<float>(std::sin(i * 0.01));
        return made;
    }();
    return samples;
}

// Creates an enumerator with the class object, connects it to a fresh stream over the data
// and pulls everything in blocks.
void PullThrough(benchmark::State& state, CalcEnums::CalcEnumClassBase2& cls, IOrrelData2* data, const wchar_t* settings)
{
    Host::Framework::Install();  // type ids come from the host's dynamic-id factory
    std::vector<float> buffer(kBlock);
    uint64_t pulled = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CalcTest::FloatStream* source = CalcTest::FloatStream::Make(Data());
        ICalcEnum* calc = nullptr;
        cls.Create(data, &calc);
        IEnumFloatEx* stream = nullptr;
        calc->QueryInterface(IID_IEnumFloatEx, reinterpret_cast<void**>(&stream));
        BlockUpdateType update = 0;
        calc->SetSettings(KVD::String(settings).AsIAutoKVDString(), &update);
        IUnknown* sources[] = {source};
        calc->SetSources(0, 1, sources, nullptr, 1.0, 0);
        calc->SetInitialPosition(0);
        state.ResumeTiming();

        uint32_t got = 0;
        do {
            stream->Next(kBlock, buffer.data(), &got);
            pulled += got;
        } while (got == kBlock);
        benchmark::DoNotOptimize(buffer.data());

        state.PauseTiming();
        stream->Release();
        calc->Release();
        source->Release();
        state.ResumeTiming();
    }
    state.counters["samples/s"] = benchmark::Counter(static_cast<double>(pulled), benchmark::Counter::kIsRate);
}

void BM_SingleSourceNoDelay(benchmark::State& state)
{
    PullThrough(state, CalcTest::ScaleEnum::ClassObject(), nullptr, L"0.5");
}
BENCHMARK(BM_SingleSourceNoDelay)->Unit(benchmark::kMillisecond);

void BM_RecursiveFilterRandomAccess(benchmark::State& state)
{
    static CalcTest::FakeData data;
    PullThrough(state, CalcTest::LeakyClassObject(), &data, L"0.999");
}
BENCHMARK(BM_RecursiveFilterRandomAccess)->Unit(benchmark::kMillisecond);

void BM_RecursiveFilterStreaming(benchmark::State& state)
{
    PullThrough(state, CalcTest::LeakyClassObject(), nullptr, L"0.999");
}
BENCHMARK(BM_RecursiveFilterStreaming)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
