// What every lock bytes of the compound file shares: the reference count, the interface map
// (ILockBytes and IKVDLockBytes, both the object itself) and the operations that only answer.
#pragma once

#include <cstdint>

#include "IKVDLockBytes.h"
#include "foundation/RefCount.h"
#include "foundation/UnknownImp.h"

namespace KVDStg {

class LockBytesBase : public KVD::CComObjectRoot, public IKVDLockBytes {
public:
    KVD_BEGIN_INTERFACE_MAP(LockBytesBase)
    KVD_INTERFACE_ENTRY(ILockBytes)
    KVD_INTERFACE_ENTRY(IKVDLockBytes)
    KVD_END_INTERFACE_MAP()
    KVD_IMPLEMENT_QUERYINTERFACE()
    KVD_IMPLEMENT_HEAP_REFCOUNT()

    // Regions are not locked: one process owns the file.
    HRESULT LockRegion(uint64_t offset, uint64_t count, uint32_t lockType) override;
    HRESULT UnlockRegion(uint64_t offset, uint64_t count, uint32_t lockType) override;
    // Every lock bytes has the id 0.
    HRESULT GetLockBytesId(uint32_t* id) override;
    HRESULT OnCommitEnd(uint32_t flags) override;
};

}  // namespace KVDStg
