// The host's framework object: the object factory and the dynamic-id factory of the process.
#pragma once

#include <map>
#include <mutex>
#include <vector>

#include "IFramework.h"
#include "foundation/UnknownImp.h"

namespace Host {

// It lives as long as the process.
class Framework : public KVD::StaticUnknown<IObjectFactory, IDynamicIdFactory> {
public:
    static constexpr uint16_t kFirstDynId = 0x0100;
    static constexpr uint16_t kDynIdLimit = 0x8000;  // ids stay below it

    // The process's framework, made by Install.
    static Framework* Instance();
    // Makes the framework of this process; later calls keep the first one.
    static void Install();

    // The framework's services are installed by the first query.
    HRESULT QueryInterface(const _IID& iid, void** out) override;

    // IObjectFactory
    HRESULT CreateObject(TCAFId typeId, IUnknown* outer, const _IID& iid, void** out) override;
    HRESULT RevokeClassObject(TCAFId typeId) override;
    HRESULT GetClassObject(TCAFId typeId, const _IID& iid, void** out) override;
    HRESULT RegisterClassObject(IUnknown* classObject) override;
    HRESULT GetClassObjectAt(uint32_t index, const _IID& iid, void** out) override;
    HRESULT EnumClassObjects(IEnumClassObjects** out) override;
    HRESULT GetClassObjectCount(uint32_t* out) override;
    HRESULT EnumClassObjectsInCategory(const _IID* category, IEnumClassObjects** out) override;

    // IDynamicIdFactory
    HRESULT GetDynId(const _IID& guid, uint16_t* id) override;
    HRESULT GetGuid(uint16_t id, _IID* guid) override;

private:
    struct Registration {
        TCAFId typeId;
        // One reference held; the registrations are not given back at exit, when class objects
        // of a static lifetime may already be gone.
        ICAFClassObject* object;
    };
    struct GuidLess {
        bool operator()(const _IID& a, const _IID& b) const;
    };

    Framework() = default;
    // The services' interfaces (event map, message processor).
    HRESULT QueryMore(const _IID& iid, void** out) override;
    ICAFClassObject* Find(TCAFId typeId) const;

    std::recursive_mutex mLock;  // class objects may register others while being registered
    std::vector<Registration> mClasses;
    std::map<_IID, uint16_t, GuidLess> mIds;
    std::vector<_IID> mGuids;  // index = id - kFirstDynId
};

}  // namespace Host
