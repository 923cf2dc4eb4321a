// The sample enumerator that turns the raw signal of a flow head into flow: a straight
// baseline drift estimated from the record's ends is removed, the signal is multiplied by the
// head's scale (with the head's optional non-linear compensation), and magnitudes below a
// noise floor become 0. Created by the "Spirometry Flow" calculation with its settings text,
// and by the formula function "SpFlow" with numeric parameters.
#pragma once

#include "calc/CalcEnumNumericParamsClass.h"
#include "calc/SingleSourceNoDelayCalc.h"
#include "foundation/KVDString.h"

namespace Spirometry {

class SpFlowEnum : public CalcEnums::SingleSourceNoDelayCalc {
public:
    static const CalcEnums::NumericParamsFuncTable sFuncTable;

    SpFlowEnum(ICalcEnumClass2* classObject, IOrrelData2* data);
    SpFlowEnum(const SpFlowEnum& other) = default;

    HRESULT SetSettings(IAutoKVDString* text, BlockUpdateType* update) override;
    // The base's sources, then the drift estimate when the record changed.
    HRESULT SetSources(int32_t record, long count, IUnknown** sources, IUnitName** units, double sampling,
                       CalcEnumFlags flags) override;
    // With an outer object the copy is aggregated in it and out receives its inner IUnknown.
    HRESULT CloneSlave(IUnknown* outer, ICalcEnum** out) override;
    HRESULT Clone(IEnumExBase** out) override;
    // Converts the source's samples to flow in the caller's buffer.
    HRESULT Next(uint32_t count, float* buffer, uint32_t* delivered) override;

    static long GetNAliases() { return 1; }

    // What the settings text says; every text is read over these initial values, so that a
    // short one gives the defaults and never what an earlier text left behind.
    struct Parsed {
        bool driftCorrection = false;
        long headIndex = 3;
        bool customHead = false;
        double headScale = 0.0;
        double coefficient = 1.0;
        long rawFlowChannel = static_cast<int32_t>(0x80000000);
        long ownChannel = static_cast<int32_t>(0x80000000);
        bool nonLinearCompensation = false;
        double clampLevel = 0.0;
        bool clampEnabled = false;
    };

    const Parsed& GetParsed() const { return mParsed; }
    double DriftOffset() const { return mDriftOffset; }
    double DriftSlope() const { return mDriftSlope; }

private:
    void ParseSettings(const KVD::String& text);
    void DetermineDriftValuesByRecLength(int32_t record);
    bool RemovesDrift() const { return mParsed.driftCorrection && (mSourceFlags & 0x80000000u) == 0; }

    KVD::String mSettingsText;
    Parsed mParsed;
    double mDriftOffset = 0.0;
    double mDriftSlope = 0.0;
    CalcEnumFlags mSourceFlags = 0;
    KVDPosition mDriftSpanStart{kNoPositionTick, kNoPositionRecord};
    KVDPosition mDriftSpanEnd{kNoPositionTick, kNoPositionRecord};
};

}  // namespace Spirometry
