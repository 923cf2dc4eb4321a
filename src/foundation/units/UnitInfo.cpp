#include "foundation/units/UnitInfo.h"

#include "IBinInStream.h"
#include "IBinOutStream.h"
#include "ResultCodes.h"
#include "foundation/units/UnitPrefixScaling.h"

namespace KVD {

const UnitInfo UnitInfo::kDefaultUnit(0, kUnitPrefixUnity, String(L"V"));
const UnitInfo UnitInfo::kEmptyUnit(0, kUnitPrefixNone, String());

UnitInfo::UnitInfo(uint32_t flags, UnitPrefix prefix, const String& name) : mName(name)
{
    mFlags = flags;
    mPrefix = prefix;
}

String UnitInfo::GetUnitName(bool withPrefix) const
{
    if (!withPrefix)
        return mName;
    String text = UnitPrefixScaling::sStringFromPrefix(mPrefix);
    text += mName;
    return text;
}

HRESULT UnitInfo::writeHr(IBinOutStream* out) const
{
    if (out == nullptr)
        return KVD_E_POINTER;
    out->WriteWord32(mPrefix);
    out->WriteKVDString(mName.AsIAutoKVDString());
    out->WriteWord32(mFlags);
    return out->StreamState();
}

HRESULT UnitInfo::readHr(IBinInStream* in)
{
    if (in == nullptr)
        return KVD_E_POINTER;
    unsigned prefix = 0;
    String name;
    unsigned flags = 0;
    // A corrupt string length fails the read without making the stream bad: stop there, or
    // the flags would be read from the middle of the string.
    HRESULT hr = in->ReadWord32(&prefix);
    if (hr == KVD_S_OK)
        hr = in->ReadKVDString(String::Setter(name));
    if (hr == KVD_S_OK)
        hr = in->ReadWord32(&flags);
    if (hr != KVD_S_OK)
        return hr;
    mPrefix = static_cast<UnitPrefix>(prefix);
    mName = name;
    mFlags = flags;
    return in->StreamState();
}

}  // namespace KVD
