// The byte array under a compound file: reads and writes at absolute offsets.
#pragma once

#include "IUnknown.h"

struct STATSTG;

// 0000000A-0000-0000-C000-000000000046
inline constexpr _IID IID_ILockBytes = {0x0000000A, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct ILockBytes : IUnknown {
    virtual HRESULT Flush() = 0;                                                             // slot 3
    virtual HRESULT LockRegion(uint64_t offset, uint64_t count, uint32_t lockType) = 0;      // slot 4
    // Fewer bytes than asked with success: the end of the array was reached.
    virtual HRESULT ReadAt(uint64_t offset, void* buffer, uint32_t count, uint32_t* read) = 0;  // slot 5
    virtual HRESULT SetSize(uint64_t size) = 0;                                              // slot 6
    virtual HRESULT Stat(STATSTG* statstg, uint32_t flag) = 0;                               // slot 7
    virtual HRESULT UnlockRegion(uint64_t offset, uint64_t count, uint32_t lockType) = 0;    // slot 8
    // A short write is a failure.
    virtual HRESULT WriteAt(uint64_t offset, const void* buffer, uint32_t count, uint32_t* written) = 0;  // slot 9
};
KVD_INTERFACE_ID(ILockBytes, IID_ILockBytes);
