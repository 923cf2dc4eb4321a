// A recursive filter for tests and benchmarks: y[n] = decay * y[n-1] + x[n], the decay given as the settings
// text. It counts the samples it computes, so that tests see how much a reposition recomputed.
#pragma once

#include <cwchar>

#include "IOrrelData2.h"
#include "calc/CalcEnumClassBase2.h"
#include "calc/IIREnumBase.h"
#include "support/ComDoubles.h"

namespace CalcTest {

struct LeakyState {
    double y;
    double samples;
};

class LeakyIntegratorPolicy : public IIREnum::IIREnumPolicyBaseState {
public:
    using State = LeakyState;

    State GetState() const { return mState; }
    void SetState(const State& state) { mState = state; }

    HRESULT SetSettings(IAutoKVDString* text, BlockUpdateType* update, bool* clearCache);
    HRESULT SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double value,
                       CalcEnumFlags flags);
    HRESULT DoNext(uint32_t count, float* out, uint32_t* delivered);
    // Rewinds the source itself, as the spirometry policies do.
    void StartOfRecord();

    EnumBufferBase<float, IEnumFloatEx, 32>& Reader() { return mReader; }
    const KVD::String& SettingsText() const { return mSettings; }
    IUnitName* UnitName() const { return mUnit.get(); }

    uint64_t Computed() const { return mComputed; }
    void ResetComputed() { mComputed = 0; }

private:
    State mState{0.0, 0.0};
    double mDecay = 1.0;
    KVD::String mSettings;
    KVD::COMPtr<IUnitName> mUnit;
    EnumBufferBase<float, IEnumFloatEx, 32> mReader;
    uint64_t mComputed = 0;
};

using LeakyEnum = IIREnum::EnumBase<IIREnum::IIRPolicyBase<LeakyIntegratorPolicy>>;

// A data object whose only use is to be there: with one the filter caches per record.
class FakeData final : public TestSupport::InertObject<IOrrelData2> {
public:
    HRESULT GetRecordData(IRecordData** records) override { *records = nullptr; return KVD_E_NOTIMPL; }
    HRESULT GetChannelUnit(int, TChannelId, IUnitName** unit) override { *unit = nullptr; return KVD_E_NOTIMPL; }
    HRESULT GetChannelCalculation(TChannelId, IOffLineData** calculation) override
    {
        *calculation = nullptr;
        return KVD_E_NOTIMPL;
    }
    HRESULT GetRecordWindowStart(KVDPosition, int32_t*) override { return KVD_E_NOTIMPL; }
};

// 7E0C3B1A-5C4D-4E29-9A61-2B8F0D93C145
inline constexpr _IID GUID_TestLeakyEnumObj = {0x7E0C3B1A, 0x5C4D, 0x4E29, {0x9A, 0x61, 0x2B, 0x8F, 0x0D, 0x93, 0xC1, 0x45}};

inline CalcEnums::CalcEnumClassBase2& LeakyClassObject()
{
    static CalcEnums::CalcEnumClassBase2::Traits traits{L"TestLeaky", L"Leaky integrator", &GUID_TestLeakyEnumObj, 0};
    static CalcEnums::CalcEnumClass2<LeakyEnum> classObject(&traits);
    return classObject;
}

inline HRESULT LeakyIntegratorPolicy::SetSettings(IAutoKVDString* text, BlockUpdateType* update, bool* clearCache)
{
    mSettings = KVD::String(text);
    mDecay = std::wcstod(mSettings.c_str(), nullptr);
    *update = kUpdateAll;
    *clearCache = true;
    return KVD_S_OK;
}

inline HRESULT LeakyIntegratorPolicy::SetSources(int32_t, long count, IUnknown** sources, IUnitName** units, double,
                                         CalcEnumFlags)
{
    KVD::COMPtr<IEnumFloatEx> source(KVD::com_cast(count > 0 ? sources[0] : nullptr));
    if (!source)
        return KVD_E_BADSTATE;
    mReader.SetEnum(source);
    mUnit = units != nullptr ? units[0] : nullptr;
    return KVD_S_OK;
}

inline HRESULT LeakyIntegratorPolicy::DoNext(uint32_t count, float* out, uint32_t* delivered)
{
    uint32_t n = 0;
    while (n < count && mReader.HasMore()) {
        mState.y = mDecay * mState.y + mReader.Next();
        mState.samples += 1.0;
        out[n++] = static_cast<float>(mState.y);
    }
    mComputed += n;
    *delivered = n;
    return mReader.Buffered() > 0 ? KVD_S_OK : mReader.LastResult();
}

inline void LeakyIntegratorPolicy::StartOfRecord()
{
    mState = {0.0, 0.0};
    if (IEnumFloatEx* source = mReader.Source()) {
        int32_t position = 0;
        int32_t skipped = 0;
        source->GetPosition(&position);
        source->SkipEx(-position, &skipped);
    }
}

}  // namespace CalcTest
