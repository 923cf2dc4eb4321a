#include "foundation/storage/StorageEntry.h"

#include "KVDStorageResults.h"
#include "foundation/XKVD.h"
#include "foundation/storage/FileLockBytes.h"
#include "foundation/storage/FileSystem.h"
#include "foundation/storage/KVDFileRef.h"
#include "foundation/storage/KVDStorage.h"
#include "foundation/storage/StorageFormat.h"

namespace {

// Runs make, which raises XKVD on failure, and turns what it raised into a result.
template <class Make>
HRESULT Guarded(IStorage** out, Make make)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    try {
        *out = make();
        return KVD_S_OK;
    } catch (const XKVD& x) {
        HRESULT hr = x.GetCode();
        return hr != KVD_S_OK && hr != KVD_S_FALSE ? hr : KVD_E_BADSTATE;
    } catch (...) {
        return KVD_E_BADSTATE;
    }
}

// The lock bytes of a file, with the one reference that FileLockBytes::Create hands out.
KVD::COMPtr<ILockBytes> OpenLockBytes(const KVDFileRef& file, uint32_t mode, bool create, uint32_t flags)
{
    KVD::COMPtr<ILockBytes> lockBytes;
    FileLockBytesImpl::FileLockBytes::Create(lockBytes.Set(), file, mode, create, flags);
    return lockBytes;
}

}  // namespace

HRESULT KVDStgCreateDocfile(const KVDFileRef& file, uint32_t mode, uint32_t flags, IStorage** out, uint32_t,
                            uint32_t)
{
    KVDFileRef target = file;
    if (target.empty()) {
        KVD::Path scratch = KVD::FileSystem::MakeUniqueTempFile(KVD::String());
        if (scratch.empty())
            return out != nullptr ? (*out = nullptr, KVD_E_BADSTATE) : KVD_E_POINTER;
        target.ImportURL(scratch);
        mode |= KVDStg::kModeCreate;
    }
    return Guarded(out, [&] {
        return KVDStg::KVDStorage::CreateRoot(OpenLockBytes(target, mode, true, flags), true, mode, flags);
    });
}

HRESULT KVDStgOpenStorage(const KVDFileRef& file, uint32_t mode, IStorage** out)
{
    return Guarded(out, [&] {
        return KVDStg::KVDStorage::CreateRoot(OpenLockBytes(file, mode, false, 0), false, mode, 0);
    });
}

HRESULT KVDStgCreateDocfileOnILockBytes(ILockBytes* lockBytes, uint32_t mode, uint32_t flags, IStorage** out)
{
    if (lockBytes == nullptr)
        return KVD_E_POINTER;
    return Guarded(out, [&] { return KVDStg::KVDStorage::CreateRoot(lockBytes, true, mode, flags); });
}

HRESULT KVDStgOpenStorageOnILockBytes(ILockBytes* lockBytes, uint32_t mode, IStorage** out)
{
    if (lockBytes == nullptr)
        return KVD_E_POINTER;
    return Guarded(out, [&] { return KVDStg::KVDStorage::CreateRoot(lockBytes, false, mode, 0); });
}
