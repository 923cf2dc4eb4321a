#include "host/data/ChannelUnits.h"

#include <functional>

#include "foundation/units/UnitEntry.h"

namespace Host {

ChannelUnits* ChannelUnits::Create(double scale, double offset, const std::string& unit)
{
    auto* units = new ChannelUnits(scale, offset, unit);
    units->AddRef();
    return units;
}

// Inverts stored = (v + storeOffset) x storeScale.
ChannelUnits* ChannelUnits::FromStorage(double storeScale, double storeOffset, const std::string& unit)
{
    return Create(1.0 / storeScale, -storeOffset * storeScale, unit);
}

HRESULT ChannelUnits::GetScaling(uint32_t, double* scale, double* offset)
{
    if (scale == nullptr || offset == nullptr)
        return KVD_E_POINTER;
    *scale = mScale;
    *offset = mOffset;
    return KVD_S_OK;
}

HRESULT ChannelUnits::ConvertValue(uint32_t, double stored, double* value)
{
    if (value == nullptr)
        return KVD_E_POINTER;
    *value = (stored + mOffset) * mScale;
    return KVD_S_OK;
}

HRESULT ChannelUnits::GetRange(uint32_t flags, double* top, double* bottom)
{
    if (top == nullptr || bottom == nullptr)
        return KVD_E_POINTER;
    ConvertValue(flags, 32767.0, top);
    ConvertValue(flags, -32768.0, bottom);
    return KVD_S_OK;
}

HRESULT ChannelUnits::GetUnitName(IUnitName** unit)
{
    if (unit == nullptr)
        return KVD_E_POINTER;
    auto* entry = new KVD::UnitEntry(KVD::UnitInfo(0, kUnitPrefixNone, KVD::ToKVDString(mUnit)));
    entry->AddRef();
    *unit = entry;
    return KVD_S_OK;
}

HRESULT ChannelUnits::GetUnitProperty(uint32_t* property)
{
    if (property == nullptr)
        return KVD_E_POINTER;
    *property = static_cast<uint32_t>(std::hash<std::string>{}(mUnit));
    return KVD_S_OK;
}

HRESULT ChannelUnits::IsUserDefined(AutoBool* user)
{
    if (user == nullptr)
        return KVD_E_POINTER;
    *user = kAutoFalse;
    return KVD_S_OK;
}

}  // namespace Host
