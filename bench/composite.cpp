// Samples per second of the composite enumerator running "Ch1*2+1" through the host's
// arithmetic enumerators, pulled in blocks of 4096 from an endless recorded channel.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "CompositeCalcEnumClass.h"
#include "ICalcEnum.h"
#include "ICalcEnumClass2.h"
#include "IEnumFloatEx.h"
#include "ResultCodes.h"
#include "foundation/DynamicId.h"
#include "foundation/KVDString.h"
#include "host/framework/Framework.h"

namespace {

constexpr uint32_t kBlock = 4096;

// A channel that repeats one block of samples for ever.
class EndlessChannel final : public IEnumFloatEx {
public:
    EndlessChannel() : mSamples(kBlock)
    {
        for (uint32_t i = 0; i < kBlock; ++i)
            mSamples[i] = static_cast<float>(i % 1000) * 0.25f - 50.0f;
    }
    uint32_t AddRef() override { return ++mCount; }
    uint32_t Release() override
    {
        const uint32_t count = --mCount;
        if (count == 0)
            delete this;
        return count;
    }
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IEnumExBase || iid == IID_IEnumFloatEx) {
            *out = static_cast<IEnumFloatEx*>(this);
            AddRef();
            return KVD_S_OK;
        }
        *out = nullptr;
        return KVD_E_NOINTERFACE;
    }
    HRESULT Clone(IEnumExBase** out) override
    {
        *out = new EndlessChannel;
        return KVD_S_OK;
    }
    HRESULT SkipEx(int32_t count, int32_t* skipped) override
    {
        mPosition += count;
        *skipped = count;
        return KVD_S_OK;
    }
    HRESULT GetPosition(int32_t* position) override
    {
        *position = mPosition;
        return KVD_S_OK;
    }
    HRESULT IsFilling(AutoBool* filling) override
    {
        *filling = 0;
        return KVD_S_OK;
    }
    HRESULT GetTickToSample(TTickToSample* map) override
    {
        *map = {1, 0};
        return KVD_S_OK;
    }
    HRESULT Next(uint32_t count, float* buffer, uint32_t* delivered) override
    {
        const uint32_t n = std::min(count, kBlock);
        std::copy_n(mSamples.data(), n, buffer);
        mPosition += static_cast<int32_t>(n);
        *delivered = n;
        return n == count ? KVD_S_OK : KVD_S_FALSE;
    }

private:
    std::vector<float> mSamples;
    int32_t mPosition = 0;
    std::atomic<uint32_t> mCount{1};
};

void CompositeCh1Times2Plus1(benchmark::State& state)
{
    Host::Framework::Install();
    ICalcEnumClass2* cls = nullptr;
    Host::Framework::Instance()->GetClassObject(TypeIdClass<&GUID_CompositeCalcEnumObj, 0>::GetId(), IID_ICalcEnumClass2,
                                                reinterpret_cast<void**>(&cls));
    ICalcEnum* composite = nullptr;
    cls->Create(nullptr, &composite);
    BlockUpdateType update = 0;
    composite->SetSettings(KVD::String(L"Ch1*2+1").AsIAutoKVDString(), &update);
    IUnknown* sources[] = {new EndlessChannel};
    composite->SetSources(0, 1, sources, nullptr, 0.001, 0);
    sources[0]->Release();
    composite->SetInitialPosition(0);
    IEnumFloatEx* stream = nullptr;
    composite->QueryInterface(IID_IEnumFloatEx, reinterpret_cast<void**>(&stream));

    std::vector<float> block(kBlock);
    uint64_t samples = 0;
    for (auto _ : state) {
        uint32_t delivered = 0;
        stream->Next(kBlock, block.data(), &delivered);
        benchmark::DoNotOptimize(block.data());
        samples += delivered;
    }
    state.SetItemsProcessed(static_cast<int64_t>(samples));
    stream->Release();
    composite->ReleaseSources();
    composite->Release();
    cls->Release();
}
BENCHMARK(CompositeCh1Times2Plus1);

}  // namespace

BENCHMARK_MAIN();
