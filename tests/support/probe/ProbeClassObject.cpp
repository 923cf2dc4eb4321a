// A static class object that links itself into the class-object list at start-up.
#include "support/probe/ProbeClassObject.h"

#include "IFramework.h"
#include "ResultCodes.h"
#include "foundation/CAFClassObject.h"

namespace Probe {
namespace {

class ProbeClassObject : public ICAFClassObject, public CAFClassObject {
public:
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        if (out == nullptr)
            return KVD_E_POINTER;
        *out = (iid == IID_IUnknown || iid == IID_ICAFClassObject) ? static_cast<ICAFClassObject*>(this) : nullptr;
        return *out ? KVD_S_OK : KVD_E_NOINTERFACE;
    }
    HRESULT GetTypeId(TCAFId* out) override
    {
        *out = kProbeTypeId;
        return KVD_S_OK;
    }
    HRESULT GetCategory(const _IID** out) override
    {
        *out = nullptr;
        return KVD_S_OK;
    }
    HRESULT GetObjectName(IAutoKVDString** out) override
    {
        *out = nullptr;
        return KVD_E_NOTIMPL;
    }
    HRESULT IsInCategoryHR(const _IID*) override { return KVD_S_FALSE; }
    IUnknown* GetInterface() override { return static_cast<ICAFClassObject*>(this); }
};

ProbeClassObject gProbe;

}  // namespace
}  // namespace Probe
