#include "host/document/DocumentRecording.h"

namespace Host {

HRESULT DocumentRecording::IsReadOnly(uint32_t, AutoBool* readOnly)
{
    if (readOnly == nullptr)
        return KVD_E_POINTER;
    *readOnly = kAutoFalse;
    return KVD_S_OK;
}

HRESULT DocumentRecording::GetDeviceCount(uint32_t, int32_t* count)
{
    if (count == nullptr)
        return KVD_E_POINTER;
    *count = mManager != nullptr ? 1 : 0;
    return KVD_S_OK;
}

HRESULT DocumentRecording::GetDeviceManager(IKVDDeviceManager** manager)
{
    if (manager == nullptr)
        return KVD_E_POINTER;
    mManager.GetOut(manager);
    return mManager != nullptr ? KVD_S_OK : KVD_S_FALSE;
}

}  // namespace Host
