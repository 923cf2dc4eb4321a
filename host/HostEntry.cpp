// The host's one exported function, through which the plug-in reaches every host service.
#include "IFramework.h"
#include "ResultCodes.h"
#include "host/framework/Framework.h"

extern "C" __attribute__((visibility("default"), used)) HRESULT KVDGetClassObject(const _IID& clsid,
                                                                                 const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    Host::Framework* framework = Host::Framework::Instance();
    if (framework == nullptr || clsid != CLSID_CAFFrameWork)
        return KVD_E_BADSTATE;
    return framework->QueryInterface(iid, out);
}
