// The description of a storage, stream or lock bytes that their Stat operations fill.
#pragma once

#include "KVDTypes.h"

// Stat flags.
constexpr uint32_t STATFLAG_NONAME = 0x1;   // leave the name out
constexpr uint32_t STATFLAG_PATH = 0x10;    // lock bytes: fill the path reference

// Types.
constexpr uint32_t STGTY_STORAGE = 1;
constexpr uint32_t STGTY_STREAM = 2;
constexpr uint32_t STGTY_LOCKBYTES = 3;

struct STATSTG {
    wchar_t* pwcsName;            // allocated with malloc; the receiver frees it
    uint32_t type;
    uint64_t cbSize;
    uint64_t mtime;
    uint64_t ctime;
    uint64_t atime;
    uint32_t grfMode;
    uint32_t grfLocksSupported;
    _IID clsid;
    uint32_t grfStateBits;
    uint32_t reserved;
    char* pathRef;                // lock bytes with STATFLAG_PATH: the file's path, UTF-8, malloc'd
};
