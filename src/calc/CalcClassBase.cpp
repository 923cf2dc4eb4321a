#include "calc/CalcClassBase.h"

#include "foundation/DynamicId.h"

namespace {

TCAFId CachedTypeId(std::atomic<TCAFId>& cache, const _IID& guid, uint32_t subId)
{
    TCAFId id = cache.load(std::memory_order_acquire);
    if (id == 0) {
        const uint16_t dyn = DynId::Ask(guid);
        if (dyn == 0)
            return subId;  // no dynamic id yet: ask again next time
        id = (TCAFId(dyn) << 16) | (subId & 0xFFFF);
        cache.store(id, std::memory_order_release);
    }
    return id;
}

HRESULT InCategory(const _IID* category, const _IID& own)
{
    return category != nullptr && (category == &own || *category == own) ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT GiveText(const KVD::String& text, IAutoKVDString** out)
{
    if (out == nullptr)
        return KVD_E_NULLOUT;
    text.GetOut(out);
    return KVD_S_OK;
}

}  // namespace

TCAFId CalcClassBase::Traits::GetTypeId()
{
    return CachedTypeId(typeId, *guid, classSubId);
}

TCAFId CalcClassBase::Traits::GetSettingsId()
{
    return CachedTypeId(settingsId, *guid, settingsSubId);
}

HRESULT CalcClassBase::QueryInterface(const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ICAFClassObject || iid == IID_ICalculationClass) {
        *out = static_cast<ICalculationClass*>(this);
        return KVD_S_OK;
    }
    *out = nullptr;
    return KVD_E_NOINTERFACE;
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
    return GiveText(mName, out);
}

HRESULT CalcClassBase::IsInCategoryHR(const _IID* category)
{
    return InCategory(category, CATID_CHANNELCALCULATIONS);
}

HRESULT CalcClassBase::GetName(IAutoKVDString** out)
{
    return GiveText(mName, out);
}

HRESULT CalcClassBase::GetDescription(IAutoKVDString** out)
{
    return GiveText(mDescription, out);
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

HRESULT CalcSettingClassBase::QueryInterface(const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ICAFClassObject || iid == IID_IPersistClassObject) {
        *out = static_cast<IPersistClassObject*>(this);
        AddRef();
        return KVD_S_OK;
    }
    *out = nullptr;
    return KVD_E_NOINTERFACE;
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
    return GiveText(mName, out);
}

HRESULT CalcSettingClassBase::IsInCategoryHR(const _IID* category)
{
    return InCategory(category, CATID_CHANNELCALCULATIONSETTINGS);
}

