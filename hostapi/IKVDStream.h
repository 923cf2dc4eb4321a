// The compound file's own stream interface.
#pragma once

#include "ILockBytes.h"
#include "IStream.h"

// C0245550-1852-11D1-994C-00C0DF492697
inline constexpr _IID IID_IKVDStream = {0xC0245550, 0x1852, 0x11D1, {0x99, 0x4C, 0x00, 0xC0, 0xDF, 0x49, 0x26, 0x97}};

struct IKVDStream : IStream {
    // Where count bytes of the stream at offset lie in memory, when the file is memory-mapped
    // and they are contiguous there; *out is null and the result KVD_S_FALSE otherwise.
    virtual HRESULT GetMemPos(uint64_t offset, uint32_t count, const uint8_t** out) = 0;   // slot 14
    virtual HRESULT GetLockBytesId(uint32_t* id) = 0;                                     // slot 15
    virtual HRESULT GetLockBytes(ILockBytes** out) = 0;                                   // slot 16
};

KVD_INTERFACE_ID(IKVDStream, IID_IKVDStream);
