// Lock bytes over a disk file, read and written through stdio.
#pragma once

#include <cstdint>

#include "foundation/CFileWithHRESULT.h"
#include "foundation/storage/KVDFileRef.h"
#include "foundation/storage/LockBytesBase.h"

namespace FileLockBytesImpl {

class FileLockBytes : public KVDStg::LockBytesBase {
public:
    // Opens the file (create: made or emptied) and hands out one reference. Raises XKVD.
    // mode: STGM bits; flags: the creator flags (bit 28 deletes the file with the lock bytes).
    static void Create(ILockBytes** out, const KVDFileRef& file, uint32_t mode, bool create, uint32_t flags);

    HRESULT Flush() override;
    HRESULT ReadAt(uint64_t offset, void* buffer, uint32_t count, uint32_t* read) override;
    HRESULT SetSize(uint64_t size) override;
    // Type, mode and size; with STATFLAG_PATH also the file's path.
    HRESULT Stat(STATSTG* statstg, uint32_t flag) override;
    HRESULT WriteAt(uint64_t offset, const void* buffer, uint32_t count, uint32_t* written) override;

    uint8_t* GetMemMappedAddress() override;

private:
    FileLockBytes(const KVDFileRef& file, uint32_t mode, bool create, uint32_t flags);
    ~FileLockBytes() override;

    // Positions the file for a transfer, skipping the seek when it is already there (stdio
    // wants one between a write and a read, though).
    HRESULT MoveTo(uint64_t offset, bool forWrite);

    KVD::CFileWithHRESULT mFile;
    KVDFileRef mFileRef;
    uint32_t mMode;
    uint32_t mFlags;
    uint64_t mPosition = 0;
    bool mPositionKnown = false;
    bool mLastWrite = false;
};

}  // namespace FileLockBytesImpl
