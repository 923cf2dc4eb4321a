#include "host/data/ChannelUnits.h"

#include <functional>

#include "foundation/units/UnitEntry.h"
#include "foundation/units/UnitPrefixScaling.h"
#include "host/data/DataRequest.h"

namespace Host {

ChannelUnits::ChannelUnits(double scale, double offset, const std::string& unit, int16_t lowest, int16_t highest)
    : mScale(scale), mOffset(offset), mLowest(lowest), mHighest(highest), mUnit(unit)
{
    mName = KVD::MakeCounted<KVD::UnitEntry>(KVD::UnitInfo(0, kUnitPrefixNone, KVD::ToKVDString(mUnit)));
}

ChannelUnits* ChannelUnits::Create(double scale, double offset, const std::string& unit, int16_t lowest,
                                   int16_t highest)
{
    return KVD::MakeCounted<ChannelUnits>(scale, offset, unit, lowest, highest).Forget();
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
    ConvertValue(flags, mHighest, top);
    ConvertValue(flags, mLowest, bottom);
    return KVD_S_OK;
}

HRESULT ChannelUnits::GetUnitName(IUnitName** unit)
{
    if (unit == nullptr)
        return KVD_E_POINTER;
    mName.GetOut(unit);
    return KVD_S_OK;
}

KVD::COMPtr<IUnitName> ChannelUnits::NameFor(IUnitsConversion* units, uint32_t flags)
{
    KVD::COMPtr<IUnitName> own, copy;
    if (units != nullptr)
        units->GetUnitName(own.Set());
    if (own != nullptr)
        own->Clone(copy.Set());
    if (copy != nullptr && !DataRequest(flags).prefixed)
        copy->SetPrefix(kUnitPrefixNone);
    return copy;
}

double ChannelUnits::ShownPrefixFactor(IUnitsConversion* units)
{
    KVD::COMPtr<IUnitName> own;
    if (units != nullptr)
        units->GetUnitName(own.Set());
    UnitPrefix prefix = kUnitPrefixNone;
    if (own == nullptr || own->GetPrefix(&prefix) != KVD_S_OK)
        return 1.0;
    return UnitPrefixScaling::sScalingFromPrefix(prefix);
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
