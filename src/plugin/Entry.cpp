// The plug-in's two exported entry points: the host calls the first once after loading.
#include "KVDTypes.h"
#include "ResultCodes.h"
#include "foundation/CAFClassObject.h"

#define SPIRO_EXPORT extern "C" __attribute__((visibility("default")))

SPIRO_EXPORT HRESULT DllRegisterClassObjects()
{
    try {
        CAFClassObject::RegisterAll();
        return KVD_S_OK;
    } catch (...) {
        return KVD_E_BADSTATE;  // nothing may cross into the host
    }
}

SPIRO_EXPORT HRESULT DllRegisterClassObjectsInOrrelReader()
{
    return KVD_S_OK;
}
