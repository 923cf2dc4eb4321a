// Vector-backed sample streams standing in for the host's recorded data.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "IEnumFloatEx.h"
#include "IEnumShortEx.h"
#include "IUnitName.h"
#include "ResultCodes.h"
#include "support/ComDoubles.h"

namespace CalcTest {

// End-of-data code these streams answer when they stop short.
constexpr HRESULT kEndOfData = KVD_S_FALSE;

// Counts what the streams over one vector have read.
struct ReadLog {
    unsigned nextCalls = 0;
    uint64_t samplesRead = 0;
    unsigned skipCalls = 0;
};

template <class Base, class Sample>
class VectorStream final : public TestSupport::HeapDouble<Base> {
public:
    VectorStream(std::shared_ptr<const std::vector<Sample>> data, std::shared_ptr<ReadLog> log, int32_t position = 0)
        : mData(std::move(data)), mLog(std::move(log)), mPosition(position)
    {
    }

    static VectorStream* Make(std::vector<Sample> data)
    {
        return new VectorStream(std::make_shared<const std::vector<Sample>>(std::move(data)), std::make_shared<ReadLog>());
    }

    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        if (iid != IID_IEnumExBase)
            return TestSupport::HeapDouble<Base>::QueryInterface(iid, out);
        *out = static_cast<Base*>(this);
        this->AddRef();
        return KVD_S_OK;
    }
    HRESULT Clone(IEnumExBase** out) override { *out = new VectorStream(mData, mLog, mPosition); return KVD_S_OK; }
    HRESULT SkipEx(int32_t count, int32_t* skipped) override
    {
        ++mLog->skipCalls;
        const int64_t target = std::clamp<int64_t>(int64_t(mPosition) + count, 0, Size());
        *skipped = static_cast<int32_t>(target - mPosition);
        mPosition = static_cast<int32_t>(target);
        return *skipped == count ? KVD_S_OK : kEndOfData;
    }
    HRESULT GetPosition(int32_t* position) override { *position = mPosition; return KVD_S_OK; }
    HRESULT IsFilling(AutoBool* filling) override { *filling = kAutoFalse; return KVD_S_OK; }
    HRESULT GetTickToSample(TTickToSample* map) override { *map = TTickToSample{4, 0}; return KVD_S_OK; }
    HRESULT Next(uint32_t count, Sample* buffer, uint32_t* delivered) override
    {
        const uint32_t n = static_cast<uint32_t>(std::min<int64_t>(count, Size() - mPosition));
        std::copy_n(mData->begin() + mPosition, n, buffer);
        mPosition += static_cast<int32_t>(n);
        *delivered = n;
        ++mLog->nextCalls;
        mLog->samplesRead += n;
        return n == count ? KVD_S_OK : kEndOfData;
    }

    const ReadLog& Log() const { return *mLog; }

private:
    int64_t Size() const { return static_cast<int64_t>(mData->size()); }

    std::shared_ptr<const std::vector<Sample>> mData;
    std::shared_ptr<ReadLog> mLog;
    int32_t mPosition;
};

// A unit that only counts its references: enumerators hand units on without reading them.
class FakeUnit final : public TestSupport::HeapDouble<IUnitName> {
public:
    HRESULT GetPrefix(UnitPrefix*) override { return KVD_E_NOTIMPL; }
    HRESULT GetName(AutoBool, IAutoKVDString**) override { return KVD_E_NOTIMPL; }
    HRESULT GetFlags(uint32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT SetPrefix(UnitPrefix) override { return KVD_E_NOTIMPL; }
    HRESULT SetName(IAutoKVDString*) override { return KVD_E_NOTIMPL; }
    HRESULT SetFlags(uint32_t) override { return KVD_E_NOTIMPL; }
    HRESULT Clone(IUnitName**) override { return KVD_E_NOTIMPL; }
};

using FloatStream = VectorStream<IEnumFloatEx, float>;
using ShortStream = VectorStream<IEnumShortEx, int16_t>;

// 0, 1, 2, ... n-1 as floats.
inline std::vector<float> Ramp(unsigned n)
{
    std::vector<float> samples(n);
    for (unsigned i = 0; i < n; ++i)
        samples[i] = static_cast<float>(i);
    return samples;
}

}  // namespace CalcTest
