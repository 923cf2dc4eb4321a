// The units conversion of a channel: value = (stored + offset) x scale, in a unit given as
// text ("mV", "L/s"). The unit's text is kept whole, prefix letter included, as the recording
// names it.
#pragma once

#include <string>

#include "IUnitsConversion.h"
#include "foundation/UnknownImp.h"

namespace Host {

class ChannelUnits final : public SimpleUnknownImp1<IUnitsConversion, 0> {
public:
    // A new conversion with one reference.
    static ChannelUnits* Create(double scale, double offset, const std::string& unit);
    // The conversion of a computed channel stored as value v -> (v + offset) x scale.
    static ChannelUnits* FromStorage(double storeScale, double storeOffset, const std::string& unit);

    HRESULT GetScaling(uint32_t flags, double* scale, double* offset) override;
    HRESULT ConvertValue(uint32_t flags, double stored, double* value) override;
    // The values of the stored 32767 and -32768.
    HRESULT GetRange(uint32_t flags, double* top, double* bottom) override;
    HRESULT GetUnitName(IUnitName** unit) override;
    // A hash of the unit's text.
    HRESULT GetUnitProperty(uint32_t* property) override;
    // Units come from the recording or the calculation, never from the user.
    HRESULT IsUserDefined(AutoBool* user) override;

    const std::string& Unit() const { return mUnit; }

private:
    ChannelUnits(double scale, double offset, const std::string& unit)
        : mScale(scale), mOffset(offset), mUnit(unit) {}

    double mScale;
    double mOffset;
    std::string mUnit;
};

}  // namespace Host
