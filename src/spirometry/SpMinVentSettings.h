// The settings record of the "Spirometry Minute Ventilation" calculation: the flow channel,
// the interval in seconds over which the expired flow is averaged, and the channel's range.
#pragma once

#include "spirometry/SourceChannelSettings.h"

namespace Spirometry {

class SpMinVentSettings : public SourceChannelSettings {
public:
    static constexpr int32_t kVersion = 1;

    SpMinVentSettings() = default;
    // Every field of other (the defaults when null).
    explicit SpMinVentSettings(const SpMinVentSettings* other) { SetFrom(other); }

    // A newer version answers 0xF8008005; otherwise what the last read answered.
    HRESULT Read(IBinInStream* in) override;
    HRESULT Write(IBinOutStream* out) const override;
    HRESULT GetObjId(TCAFId* id) const override;

    bool IsEqual(const SpMinVentSettings* other) const;
    void SetFrom(const SpMinVentSettings* other);
    // "-60.0 * decimatesec(Ch<n>*(1-threshold(Ch<n>,0)),<interval>)": the expired (negative)
    // flow averaged over the interval, per minute and positive.
    const KVD::String& GetSettingStr() const;
    const KVD::String& GetArithString() const { return GetSettingStr(); }

    double mInterval = 60.0;

private:
    mutable KVD::String mFormula;
};

}  // namespace Spirometry
