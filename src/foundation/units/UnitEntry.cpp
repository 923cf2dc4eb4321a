#include "foundation/units/UnitEntry.h"

#include "FrameworkIds.h"
#include "ResultCodes.h"
#include "foundation/DynamicId.h"

namespace KVD {
namespace {

// A stream that did nothing (S_FALSE) is no failure; everything else is.
HRESULT StreamResult(HRESULT state)
{
    return state == KVD_S_OK || state == KVD_S_FALSE ? KVD_S_OK : KVD_E_BADSTATE;
}

}  // namespace

HRESULT UnitEntry::GetPrefix(UnitPrefix* out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = mPrefix;
    return KVD_S_OK;
}

HRESULT UnitEntry::GetName(AutoBool withPrefix, IAutoKVDString** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    GetUnitName(withPrefix != 0).GetOut(out);
    return KVD_S_OK;
}

HRESULT UnitEntry::GetFlags(uint32_t* out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = mFlags;
    return KVD_S_OK;
}

HRESULT UnitEntry::SetPrefix(UnitPrefix prefix)
{
    mPrefix = prefix;
    return KVD_S_OK;
}

HRESULT UnitEntry::SetName(IAutoKVDString* name)
{
    if (name == nullptr)
        return KVD_E_NULLOUT;
    // A private copy: the caller may go on writing its own string.
    const String given(name);
    mName = String(given.c_str(), given.length());
    return KVD_S_OK;
}

HRESULT UnitEntry::SetFlags(uint32_t flags)
{
    mFlags = flags != 0 ? 1 : 0;
    return KVD_S_OK;
}

HRESULT UnitEntry::Clone(IUnitName** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = MakeCounted<UnitEntry>(static_cast<const UnitInfo&>(*this)).Forget();
    return KVD_S_OK;
}

HRESULT UnitEntry::Read(IBinInStream* in)
{
    if (in == nullptr)
        return KVD_E_BADSTATE;
    return StreamResult(readHr(in));
}

HRESULT UnitEntry::Write(IBinOutStream* out) const
{
    if (out == nullptr)
        return KVD_E_BADSTATE;
    return StreamResult(writeHr(out));
}

HRESULT UnitEntry::GetObjId(TCAFId* id) const
{
    if (id == nullptr)
        return KVD_E_NULLOUT;
    *id = TypeIdClass<&GUID_OrrelObjects, kOrrelObject_UnitName>::GetId();
    return KVD_S_OK;
}

}  // namespace KVD
