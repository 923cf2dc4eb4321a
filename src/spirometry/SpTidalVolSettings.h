// The settings record of the "Spirometry Tidal Volume" calculation: the flow channel, whether
// the flow is expiratory only, the channel's range, and the formula the tidal-volume
// enumerator runs.
#pragma once

#include "IOrrelDocument.h"
#include "spirometry/SourceChannelSettings.h"

namespace Spirometry {

class SpTidalVolSettings : public SourceChannelSettings {
public:
    static constexpr int32_t kVersion = 3;

    SpTidalVolSettings() = default;
    // Every field of other (the defaults when null).
    explicit SpTidalVolSettings(const SpTidalVolSettings* other) { SetFrom(other); }

    // A newer version answers 0xF8008005; otherwise what the last read answered. Records
    // before version 3 carry no formula: it is made again, over "SpTidalVolume".
    HRESULT Read(IBinInStream* in) override;
    HRESULT Write(IBinOutStream* out) const override;
    HRESULT GetObjId(TCAFId* id) const override;

    // The formula is not compared: it follows from the other fields.
    bool IsEqual(const SpTidalVolSettings* other) const;
    void SetFrom(const SpTidalVolSettings* other);
    const KVD::String& GetSettingStr() const { return mFormula; }
    const KVD::String& GetArithString() const { return mFormula; }
    // Makes the formula from the other fields; an expiratory-only flow has its cycles found
    // by the cycle detection of the document's cyclic-measurements part. Without a document,
    // or without that part for an expiratory-only flow, the formula stays as it is and the
    // answer is false.
    bool UpdateArithString(IAutoOrrelDoc* document);

    bool mExpiratoryOnly = false;
    KVD::String mFormula = L"$Src1";

private:
    KVD::String TidalVolumeFormula() const;
    // The host's formula for the cycle starts of the source channel; false without one.
    bool CycleEventFormula(IAutoOrrelDoc* document, KVD::String& events) const;
};

}  // namespace Spirometry
