#include "host/units/UnitsConversionClass.h"

#include "ResultCodes.h"
#include "foundation/KVDString.h"
#include "foundation/units/UnitEntry.h"
#include "host/framework/Framework.h"

namespace Host {

void UnitsConversionClass::Register(Framework& framework)
{
    uint16_t dynId = 0;
    framework.GetDynId(GUID_KVDUnits, &dynId);
    static UnitsConversionClass instance((TCAFId(dynId) << 16) | kKVDUnits_ConversionClass);
    framework.RegisterClassObject(static_cast<ICAFClassObject*>(&instance));
}

HRESULT UnitsConversionClass::GetTypeId(TCAFId* out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = mTypeId;
    return KVD_S_OK;
}

HRESULT UnitsConversionClass::GetCategory(const _IID** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = nullptr;
    return KVD_S_OK;
}

HRESULT UnitsConversionClass::GetObjectName(IAutoKVDString** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    KVD::String(L"Units Conversion").GetOut(out);
    return KVD_S_OK;
}

HRESULT UnitsConversionClass::IsInCategoryHR(const _IID*)
{
    return KVD_S_FALSE;
}

HRESULT UnitsConversionClass::CreateUnitName(UnitPrefix prefix, IAutoKVDString* name, uint32_t flags,
                                             IUnitName** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = nullptr;
    if (prefix >= kUnitPrefixCount)
        return KVD_E_BADSTATE;
    KVD::COMPtr<KVD::UnitEntry> entry = KVD::MakeCounted<KVD::UnitEntry>();
    entry->SetPrefix(prefix);
    entry->SetFlags(flags);
    if (name != nullptr)
        entry->SetName(name);
    *out = entry.Forget();
    return KVD_S_OK;
}

}  // namespace Host
