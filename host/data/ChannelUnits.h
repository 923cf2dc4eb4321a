// The units conversion of a channel: value = (stored + offset) x scale, in a unit given as
// text ("mV", "L/s"). The unit's text is kept whole, prefix letter included, as the recording
// names it. A calculation sets the prefix its channel is shown in on the unit name it is
// handed (GetUnitName): requests with the prefix bit then read the channel in that prefix.
#pragma once

#include <cstdint>
#include <string>

#include "IUnitsConversion.h"
#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"

namespace Host {

class ChannelUnits final : public SimpleUnknownImp1<IUnitsConversion, 0> {
public:
    // A new conversion with one reference, of a channel whose full range spans the stored values
    // lowest to highest.
    static ChannelUnits* Create(double scale, double offset, const std::string& unit, int16_t lowest = -32768,
                                int16_t highest = 32767);
    // The conversion of a computed channel stored as value v -> (v + offset) x scale.
    static ChannelUnits* FromStorage(double storeScale, double storeOffset, const std::string& unit);

    HRESULT GetScaling(uint32_t flags, double* scale, double* offset) override;
    HRESULT ConvertValue(uint32_t flags, double stored, double* value) override;
    // The values of the stored highest and lowest: the channel's full range.
    HRESULT GetRange(uint32_t flags, double* top, double* bottom) override;
    // The channel's own unit name: a prefix set on it is the one the channel is shown in.
    HRESULT GetUnitName(IUnitName** unit) override;
    // A hash of the unit's text.
    HRESULT GetUnitProperty(uint32_t* property) override;
    // Units come from the recording or the calculation, never from the user.
    HRESULT IsUserDefined(AutoBool* user) override;

    const std::string& Unit() const { return mUnit; }

    // A copy of the units' name as a request of the flags reads it: with the shown prefix
    // only when the request asks for it (bit 13); null without units.
    static KVD::COMPtr<IUnitName> NameFor(IUnitsConversion* units, uint32_t flags);
    // The factor from the units to the prefix they are shown in (1 without a prefix).
    static double ShownPrefixFactor(IUnitsConversion* units);

private:
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);
    ChannelUnits(double scale, double offset, const std::string& unit, int16_t lowest, int16_t highest);

    double mScale;
    double mOffset;
    int16_t mLowest;
    int16_t mHighest;
    std::string mUnit;
    KVD::COMPtr<IUnitName> mName;
};

}  // namespace Host
