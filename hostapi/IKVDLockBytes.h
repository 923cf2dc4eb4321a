// The compound file's own additions to the lock bytes.
#pragma once

#include "ILockBytes.h"

// DA70517F-8F03-403C-B8B2-4D850F81A60D
inline constexpr _IID IID_IKVDLockBytes = {0xDA70517F, 0x8F03, 0x403C, {0xB8, 0xB2, 0x4D, 0x85, 0x0F, 0x81, 0xA6, 0x0D}};

struct IKVDLockBytes : ILockBytes {
    // The base address of a memory-mapped array; null when the bytes are not mapped.
    virtual uint8_t* GetMemMappedAddress() = 0;                   // slot 10
    virtual HRESULT GetLockBytesId(uint32_t* id) = 0;             // slot 11
    // Told when the root storage of the file has committed.
    virtual HRESULT OnCommitEnd(uint32_t flags) = 0;              // slot 12
};
KVD_INTERFACE_ID(IKVDLockBytes, IID_IKVDLockBytes);
