#include "host/framework/Framework.h"

#include <algorithm>
#include <memory>

#include "ResultCodes.h"
#include "foundation/EnumArray.h"
#include "foundation/InterfaceArray.h"
#include "host/calc/HostCalcClasses.h"
#include "host/channels/ArithCalculationClass.h"
#include "host/channels/SetChanCalcMsg.h"
#include "host/framework/FrameworkServices.h"
#include "host/units/UnitsConversionClass.h"

namespace Host {
namespace {

std::unique_ptr<Framework>& Slot()
{
    static std::unique_ptr<Framework> framework;
    return framework;
}

HRESULT QueryOut(IUnknown* object, const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    return object == nullptr ? KVD_E_BADSTATE : object->QueryInterface(iid, out);
}

bool InCategory(ICAFClassObject* object, const _IID* category)
{
    return object->IsInCategoryHR(category) == KVD_S_OK;
}

}  // namespace

Framework* Framework::Instance() { return Slot().get(); }

void Framework::Install()
{
    if (!Slot()) {
        Slot().reset(new Framework());
        UnitsConversionClass::Register(*Slot());
        HostCalc::RegisterCalcClasses(*Slot());
        ArithCalculationClass::Register(*Slot());
        SetChanCalcMsgClass::Register(*Slot());
    }
}

bool Framework::GuidLess::operator()(const _IID& a, const _IID& b) const
{
    return std::memcmp(&a, &b, sizeof(_IID)) < 0;
}

HRESULT Framework::QueryInterface(const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    FrameworkServices::Install(*this);
    return StaticUnknown::QueryInterface(iid, out);
}

HRESULT Framework::QueryMore(const _IID& iid, void** out) { return FrameworkServices::QueryInterface(iid, out); }

ICAFClassObject* Framework::Find(TCAFId typeId) const
{
    auto it = std::find_if(mClasses.begin(), mClasses.end(),
                           [typeId](const Registration& r) { return r.typeId == typeId; });
    return it == mClasses.end() ? nullptr : it->object;
}

HRESULT Framework::CreateObject(TCAFId typeId, IUnknown* outer, const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    std::unique_lock<std::recursive_mutex> guard(mLock);
    ICAFClassObject* object = Find(typeId);
    if (object == nullptr)
        return KVD_E_BADSTATE;
    const KVD::COMPtr<ICAFObjectCreator> creator(KVD::com_cast(object));
    if (creator == nullptr)
        return KVD_E_NOINTERFACE;
    guard.unlock();  // creation may reach the factory again
    return creator->CreateInstance(outer, iid, out);
}

HRESULT Framework::RevokeClassObject(TCAFId typeId)
{
    KVD::COMPtr<ICAFClassObject> revoked;  // released outside the lock
    {
        std::lock_guard<std::recursive_mutex> guard(mLock);
        auto it = std::find_if(mClasses.begin(), mClasses.end(),
                               [typeId](const Registration& r) { return r.typeId == typeId; });
        if (it == mClasses.end())
            return KVD_S_FALSE;
        revoked = KVD::COMPtr<ICAFClassObject>::Take(it->object);
        mClasses.erase(it);
    }
    return KVD_S_OK;
}

HRESULT Framework::GetClassObject(TCAFId typeId, const _IID& iid, void** out)
{
    std::lock_guard<std::recursive_mutex> guard(mLock);
    return QueryOut(Find(typeId), iid, out);
}

HRESULT Framework::RegisterClassObject(IUnknown* classObject)
{
    if (classObject == nullptr)
        return KVD_E_POINTER;
    KVD::COMPtr<ICAFClassObject> object(KVD::com_cast(classObject));
    if (object == nullptr)
        return KVD_E_NOINTERFACE;
    TCAFId typeId = 0;
    object->GetTypeId(&typeId);
    // A later registration under the same type id replaces the earlier one.
    RevokeClassObject(typeId);
    std::lock_guard<std::recursive_mutex> guard(mLock);
    mClasses.push_back({typeId, object.Forget()});
    return KVD_S_OK;
}

HRESULT Framework::GetClassObjectAt(uint32_t index, const _IID& iid, void** out)
{
    std::lock_guard<std::recursive_mutex> guard(mLock);
    return QueryOut(index < mClasses.size() ? mClasses[index].object : nullptr, iid, out);
}

HRESULT Framework::EnumClassObjects(IEnumClassObjects** out)
{
    return EnumClassObjectsInCategory(nullptr, out);
}

HRESULT Framework::GetClassObjectCount(uint32_t* out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    std::lock_guard<std::recursive_mutex> guard(mLock);
    *out = static_cast<uint32_t>(mClasses.size());
    return KVD_S_OK;
}

// A null category enumerates every class object.
HRESULT Framework::EnumClassObjectsInCategory(const _IID* category, IEnumClassObjects** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    InterfaceArrayBase<ICAFClassObject> matching;
    {
        std::lock_guard<std::recursive_mutex> guard(mLock);
        for (const Registration& r : mClasses)
            if (category == nullptr || InCategory(r.object, category))
                matching.Add(r.object);
    }
    return InterfaceEnum::EnumArray<IEnumClassObjects, ICAFClassObject>::Create(matching, out);
}

HRESULT Framework::GetDynId(const _IID& guid, uint16_t* id)
{
    if (id == nullptr)
        return KVD_E_POINTER;
    std::lock_guard<std::recursive_mutex> guard(mLock);
    auto it = mIds.find(guid);
    if (it == mIds.end()) {
        if (kFirstDynId + mGuids.size() >= kDynIdLimit)
            return KVD_E_BADSTATE;  // every id below the limit is taken
        it = mIds.emplace(guid, static_cast<uint16_t>(kFirstDynId + mGuids.size())).first;
        mGuids.push_back(guid);
    }
    *id = it->second;
    return KVD_S_OK;
}

HRESULT Framework::GetGuid(uint16_t id, _IID* guid)
{
    if (guid == nullptr)
        return KVD_E_POINTER;
    std::lock_guard<std::recursive_mutex> guard(mLock);
    if (id < kFirstDynId || id - kFirstDynId >= static_cast<int>(mGuids.size()))
        return KVD_S_FALSE;
    *guid = mGuids[id - kFirstDynId];
    return KVD_S_OK;
}

}  // namespace Host
