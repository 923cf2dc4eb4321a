#include "calc/CalcClassBase.h"

#include "foundation/ClassObjectAnswers.h"
#include "foundation/DynamicId.h"

TCAFId CalcClassBase::Traits::GetTypeId()
{
    return DynId::CachedTypeId(typeId, *guid, classSubId);
}

TCAFId CalcClassBase::Traits::GetSettingsId()
{
    return DynId::CachedTypeId(settingsId, *guid, settingsSubId);
}

HRESULT CalcClassBase::GetTypeId(TCAFId* out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = mTraits.GetTypeId();
    return KVD_S_OK;
}

HRESULT CalcClassBase::GetCategory(const _IID** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = &CATID_CHANNELCALCULATIONS;
    return KVD_S_OK;
}

HRESULT CalcClassBase::GetObjectName(IAutoKVDString** out)
{
    return KVD::GiveText(mName, out);
}

HRESULT CalcClassBase::IsInCategoryHR(const _IID* category)
{
    return KVD::InCategory(category, &CATID_CHANNELCALCULATIONS);
}

HRESULT CalcClassBase::GetName(IAutoKVDString** out)
{
    return KVD::GiveText(mName, out);
}

HRESULT CalcClassBase::GetDescription(IAutoKVDString** out)
{
    return KVD::GiveText(mDescription, out);
}

HRESULT CalcClassBase::GetAttributes(long* out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = mTraits.attributes;
    return KVD_S_OK;
}

CalcSettingClassBase::CalcSettingClassBase(CalcClassBase::Traits& traits) : mTraits(traits), mName(traits.name)
{
    mName += L"Settings";
}

HRESULT CalcSettingClassBase::GetTypeId(TCAFId* out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = mTraits.GetSettingsId();
    return KVD_S_OK;
}

HRESULT CalcSettingClassBase::GetCategory(const _IID** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    *out = &CATID_CHANNELCALCULATIONSETTINGS;
    return KVD_S_OK;
}

HRESULT CalcSettingClassBase::GetObjectName(IAutoKVDString** out)
{
    return KVD::GiveText(mName, out);
}

HRESULT CalcSettingClassBase::IsInCategoryHR(const _IID* category)
{
    return KVD::InCategory(category, &CATID_CHANNELCALCULATIONSETTINGS);
}

