// The volume enumerator: running integration of a flow channel, with an optional correction
// of expired volume for warm lung air (a volume ratio applied beyond a dead-space volume) and
// an optional reset of the volume at the start of each breath. The recursive-filter base pulls
// the source in blocks and keeps the running state for random access; the policy here reads
// the settings text, checks the source's unit and integrates.
#pragma once

#include "IUnitName.h"
#include "calc/CalcEnumNumericParamsClass.h"
#include "calc/EnumBufferBase.h"
#include "calc/IIREnumBase.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"

namespace Spirometry {

// The running state the base saves and restores, in this order.
struct CDouble {
    double volume;
    // Expired less inspired volume, never below 0; held at the dead space while corrected
    // flow passes.
    double deadSpaceAccumulator;
    double previousFlow;
    // The largest volume since the last reset.
    double maximumVolume;
};

class SpVolPolicy : public IIREnum::IIREnumPolicyBaseState {
public:
    using State = CDouble;

    static constexpr double kMinVolumeRatio = 0.01;
    static constexpr double kMaxVolumeRatio = 10.0;

    State GetState() const { return mState; }
    void SetState(const State& state) { mState = state; }

    HRESULT SetSettings(IAutoKVDString* text, BlockUpdateType* update, bool* clearCache);
    // Takes the first source's float stream and unit; a source whose unit is no flow unit makes
    // every output NaN unless the settings text is of the old form.
    HRESULT SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double secondsPerSample,
                       CalcEnumFlags flags);
    HRESULT DoNext(uint32_t count, float* out, uint32_t* delivered);
    // The start-of-record state, with the source rewound to sample 0 of the record.
    void StartOfRecord();

    EnumBufferBase<float, IEnumFloatEx, 32>& Reader() { return mReader; }
    const KVD::String& SettingsText() const { return mSettingsText; }
    IUnitName* UnitName() const { return mUnitName.get(); }

    bool ApplyCorrection() const { return mApplyCorrection; }
    bool ResetVolume() const { return mResetVolume; }
    double DeadSpace() const { return mDeadSpace; }
    double VolumeRatio() const { return mVolumeRatio; }
    bool LegacyText() const { return mLegacyText; }
    double Scale() const { return mScale; }
    // The dead space (mL) in the volume unit of the source's flow.
    double DeadSpaceInSourceUnits() const { return mDeadSpace * mSourceUnitsPerML; }

private:
    template <bool Correct, bool Reset>
    HRESULT Integrate(uint32_t count, float* out, uint32_t* delivered);
    void ParseSettings(const KVD::String& text);
    void CheckSourceUnit();

    double mScale = 0.0;
    State mState{0.0, 0.0, 0.0, 0.0};
    KVD::String mSettingsText;
    KVD::COMPtr<IUnitName> mUnitName;
    EnumBufferBase<float, IEnumFloatEx, 32> mReader;
    bool mApplyCorrection = true;
    bool mResetVolume = false;
    double mDeadSpace = 0.0;
    double mVolumeRatio = 1.0;
    bool mLegacyText = false;
    // Litres per mL, or mL or µL per mL, after the source's unit prefix.
    double mSourceUnitsPerML = 0.001;
};

class SpVolEnum : public IIREnum::EnumBase<IIREnum::IIRPolicyBase<SpVolPolicy>> {
public:
    static const CalcEnums::NumericParamsFuncTable sFuncTable;

    SpVolEnum(ICalcEnumClass2* classObject, IOrrelData2* data) : EnumBase(classObject, data) {}
    SpVolEnum(const SpVolEnum& other) = default;

    // With an outer object the copy is aggregated in it and out receives its inner IUnknown.
    HRESULT CloneSlave(IUnknown* outer, ICalcEnum** out) override;
};

}  // namespace Spirometry
