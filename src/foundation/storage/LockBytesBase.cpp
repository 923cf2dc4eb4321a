#include "foundation/storage/LockBytesBase.h"

namespace KVDStg {

HRESULT LockBytesBase::LockRegion(uint64_t, uint64_t, uint32_t) { return KVD_E_NOTIMPL; }

HRESULT LockBytesBase::UnlockRegion(uint64_t, uint64_t, uint32_t) { return KVD_E_NOTIMPL; }

HRESULT LockBytesBase::GetLockBytesId(uint32_t* id)
{
    if (id == nullptr)
        return KVD_E_POINTER;
    *id = 0;
    return KVD_S_OK;
}

HRESULT LockBytesBase::OnCommitEnd(uint32_t) { return KVD_S_OK; }

}  // namespace KVDStg
