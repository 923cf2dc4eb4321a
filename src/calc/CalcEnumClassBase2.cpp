#include "calc/CalcEnumClassBase2.h"

#include "foundation/ClassObjectAnswers.h"
#include "foundation/DynamicId.h"

namespace CalcEnums {

TCAFId CalcEnumClassBase2::Traits::GetTypeId()
{
    return DynId::CachedTypeId(typeId, *guid, index);
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
    return KVD::GiveText(KVD::String(mTraits->name), out);
}

HRESULT CalcEnumClassBase2::IsInCategoryHR(const _IID* category)
{
    return KVD::InCategory(category, &CATID_CALCENUMS);
}

HRESULT CalcEnumClassBase2::GetName(IAutoKVDString** out)
{
    return KVD::GiveText(KVD::String(mTraits->name), out);
}

HRESULT CalcEnumClassBase2::GetDescription(IAutoKVDString** out)
{
    return KVD::GiveText(KVD::String(mTraits->description), out);
}

}  // namespace CalcEnums
