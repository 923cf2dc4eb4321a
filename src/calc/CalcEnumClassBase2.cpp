#include "calc/CalcEnumClassBase2.h"

#include "foundation/DynamicId.h"
#include "foundation/KVDString.h"

namespace CalcEnums {

TCAFId CalcEnumClassBase2::Traits::GetTypeId()
{
    TCAFId id = typeId.load(std::memory_order_acquire);
    if (id == 0) {
        const uint16_t dyn = DynId::Ask(*guid);
        if (dyn == 0)
            return index;  // no dynamic id yet: ask again next time
        id = (TCAFId(dyn) << 16) | (index & 0xFFFF);
        typeId.store(id, std::memory_order_release);
    }
    return id;
}

HRESULT CalcEnumClassBase2::QueryInterface(const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ICAFClassObject || iid == IID_ICalcEnumClass2) {
        *out = static_cast<ICalcEnumClass2*>(this);
        return KVD_S_OK;
    }
    *out = nullptr;
    return KVD_E_NOINTERFACE;
}

HRESULT CalcEnumClassBase2::GetTypeId(TCAFId* out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = mTraits->GetTypeId();
    return KVD_S_OK;
}

HRESULT CalcEnumClassBase2::GetCategory(const _IID** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = &CATID_CALCENUMS;
    return KVD_S_OK;
}

HRESULT CalcEnumClassBase2::GetObjectName(IAutoKVDString** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    KVD::String(mTraits->name).GetOut(out);
    return KVD_S_OK;
}

HRESULT CalcEnumClassBase2::IsInCategoryHR(const _IID* category)
{
    if (category != nullptr && (category == &CATID_CALCENUMS || *category == CATID_CALCENUMS))
        return KVD_S_OK;
    return KVD_S_FALSE;
}

HRESULT CalcEnumClassBase2::GetName(IAutoKVDString** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    KVD::String(mTraits->name).GetOut(out);
    return KVD_S_OK;
}

HRESULT CalcEnumClassBase2::GetDescription(IAutoKVDString** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    KVD::String(mTraits->description).GetOut(out);
    return KVD_S_OK;
}

}  // namespace CalcEnums
