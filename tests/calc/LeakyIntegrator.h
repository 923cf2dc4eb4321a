// A recursive filter for tests: y[n] = decay * y[n-1] + x[n], the decay given as the settings
// text. It counts the samples it computes, so that tests see how much a reposition recomputed.
#pragma once

#include "IOrrelData2.h"
#include "calc/CalcEnumClassBase2.h"
#include "calc/IIREnumBase.h"

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

// The class object of the test filter.
CalcEnums::CalcEnumClassBase2& LeakyClassObject();

// A data object whose only use is to be there: with one the filter caches per record.
class FakeData final : public IOrrelData2 {
public:
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT QueryInterface(const _IID&, void** out) override
    {
        *out = nullptr;
        return KVD_E_NOINTERFACE;
    }
    HRESULT GetRecordData(IRecordData** records) override
    {
        *records = nullptr;
        return KVD_E_NOTIMPL;
    }
};

}  // namespace CalcTest
