// Entry points of the compound-file storage: new files and existing ones, on disk or on any
// lock bytes. Each hands out the root storage with one reference; its last release commits.
#pragma once

#include <cstdint>

#include "ILockBytes.h"
#include "IStorage.h"

class KVDFileRef;

// A new file at file (made or emptied); an empty reference makes a scratch file in the
// temporary directory. flags: creator flags (cluster shift in bits 0-7, bit 28 delete the file
// with its storage, bit 29 file version 22). The last two arguments are not used.
HRESULT KVDStgCreateDocfile(const KVDFileRef& file, uint32_t mode, uint32_t flags, IStorage** out, uint32_t,
                            uint32_t);
// The existing file at file, checked whole before it is handed out.
HRESULT KVDStgOpenStorage(const KVDFileRef& file, uint32_t mode, IStorage** out);

HRESULT KVDStgCreateDocfileOnILockBytes(ILockBytes* lockBytes, uint32_t mode, uint32_t flags, IStorage** out);
HRESULT KVDStgOpenStorageOnILockBytes(ILockBytes* lockBytes, uint32_t mode, IStorage** out);
