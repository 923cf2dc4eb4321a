// The settings record of the "Spirometry Flow" calculation: which raw channel carries the flow
// head's signal, which head is fitted, drift correction, non-linear compensation, noise-floor
// clamping and the computed channel's range and units. Persisted by the host with the document,
// edited as copies by the dialogs, and turned into the flow enumerator's settings text.
#pragma once

#include <cstdint>

#include "IPersistObject.h"
#include "calc/CCalcEnumSourceInfo.h"
#include "foundation/ArrayCtor.h"
#include "foundation/KVDString.h"
#include "foundation/UnknownImp.h"
#include "spirometry/NoiseFloorClamping.h"

namespace Spirometry {

class SpFlowSettings : public SimpleUnknownImp1<IPersistObject, 0l> {
public:
    static constexpr int32_t kVersion = 3;
    static constexpr int32_t kDefaultUnitIndex = 3;
    static constexpr int32_t kDefaultUnitPrefix = 8;  // no prefix: L/s

    SpFlowSettings();
    // Empty strings and no clamping, then every field of other (the defaults when null).
    explicit SpFlowSettings(const SpFlowSettings* other);

    HRESULT Read(IBinInStream* in) override;
    HRESULT Write(IBinOutStream* out) const override;
    HRESULT GetObjId(TCAFId* id) const override;

    void SetDefaults();
    // The channel the calculation that owns the record computes.
    void SetCalculationChannel(long channel) { mOwnChannel = channel; }
    // Every field but the reference count; null changes nothing.
    void SetFrom(const SpFlowSettings* other);
    // Head 5 is custom with the given scale; others take the table row's scale. Compensation is
    // cleared except for head 2, the only head for which it can be chosen.
    void SetFlowHead(long head, double customScale);
    // Ranges, the raw prefix exponent, the full range and the settings text are derived
    // values: not compared (the text is a cache of the fields that are).
    bool IsEqual(const SpFlowSettings* other) const;
    // The flow enumerator's settings text; kept in the settings-text field.
    const KVD::String& GetSettingStr() const;
    // The formula the flow dialog shows, from the bundle's format texts.
    KVD::String GetFlowFormula() const;
    // The one source of the flow enumerator: the raw flow channel, as recorded when it is the
    // calculation's own channel.
    void MakeSourceInfos(int channel, CArrayCtor<CalcEnums::CCalcEnumSourceInfo, true, true>& sources) const;
    // Whether the unit is volts (with an SI prefix or none) or no unit; exponent receives the
    // prefix's power of ten.
    bool CheckBaseUnitAndPrefix(IAutoKVDString* unit, int& exponent) const;

    bool mDriftCorrection;
    long mRawFlowChannel;
    long mOwnChannel;
    int32_t mHeadIndex;
    bool mNonLinearCompensation;
    bool mCustomHead;
    double mHeadScale;
    KVD::String mUnitText;
    int32_t mUnitIndex;
    double mRangeTop;
    double mRangeBottom;
    long mRawPrefixExponent;
    mutable KVD::String mSettingsText;
    double mFlowFullRange;
    NoiseFloorClamping mClamp;
    int32_t mUnitPrefix;
};

}  // namespace Spirometry
