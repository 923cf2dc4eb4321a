// The compound file's own storage interface: a storage that tells which lock bytes it is on.
#pragma once

#include "ILockBytes.h"
#include "IStorage.h"

// 4676C05E-64A5-4278-A545-698DC73D18B7
inline constexpr _IID IID_IKVDStorage = {0x4676C05E, 0x64A5, 0x4278, {0xA5, 0x45, 0x69, 0x8D, 0xC7, 0x3D, 0x18, 0xB7}};

struct IKVDStorage : IStorage {
    // The lock bytes' id (0 first); KVD_S_FALSE when the lock bytes give none.
    virtual HRESULT GetLockBytesId(uint32_t* id) = 0;             // slot 18
    // The file's lock bytes with a reference for the caller; KVD_S_FALSE when there are none.
    virtual HRESULT GetLockBytes(ILockBytes** out) = 0;           // slot 19
};

KVD_INTERFACE_ID(IKVDStorage, IID_IKVDStorage);
