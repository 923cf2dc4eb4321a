#include "foundation/storage/FileLockBytes.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "IStream.h"
#include "KVDStorageResults.h"
#include "foundation/XKVD.h"
#include "foundation/storage/FileSystem.h"
#include "foundation/storage/StorageFormat.h"

namespace FileLockBytesImpl {

using namespace KVDStg;

void FileLockBytes::Create(ILockBytes** out, const KVDFileRef& file, uint32_t mode, bool create, uint32_t flags)
{
    *out = KVD::COMPtr<FileLockBytes>(new FileLockBytes(file, mode, create, flags)).Forget();
}

FileLockBytes::FileLockBytes(const KVDFileRef& file, uint32_t mode, bool create, uint32_t flags)
    : mFileRef(file), mMode(mode), mFlags(flags)
{
    mFileRef.MakeStandardPathName();
    // A new file is always read as well as written: the storage reads back its own map,
    // directories and streams.
    const char* openMode = create ? "w+" : ((mode & (kModeWrite | kModeReadWrite)) != 0 ? "r+" : "r");
    int result = 0;
    if (!mFile.fopen(file.FileSystemRepresentation().c_str(), openMode, &result))
        throw XKVD(result);
    if ((mode & kModeDeleteOnRelease) != 0)
        ::unlink(file.FileSystemRepresentation().c_str());
}

FileLockBytes::~FileLockBytes()
{
    mFile.fclose();
    if ((mFlags & kFlagDeleteFile) != 0)
        KVDFileManager::DeleteFile(mFileRef);
}

HRESULT FileLockBytes::MoveTo(uint64_t offset, bool forWrite)
{
    if (mPositionKnown && mPosition == offset && mLastWrite == forWrite)
        return KVD_S_OK;
    int result = 0;
    mFile.fseek(static_cast<long long>(offset), SEEK_SET, &result);
    mPositionKnown = result == KVD_S_OK;
    mPosition = offset;
    mLastWrite = forWrite;
    return result;
}

HRESULT FileLockBytes::ReadAt(uint64_t offset, void* buffer, uint32_t count, uint32_t* read)
{
    if (read != nullptr)
        *read = 0;
    HRESULT hr = MoveTo(offset, false);
    if (hr != KVD_S_OK)
        return hr;
    int result = 0;
    size_t got = mFile.fread(buffer, count, &result);
    mPosition += got;
    // After the end of the file stdio's position is its own business.
    mPositionKnown = mPositionKnown && got == count;
    if (read != nullptr)
        *read = static_cast<uint32_t>(got);
    return result;
}

HRESULT FileLockBytes::WriteAt(uint64_t offset, const void* buffer, uint32_t count, uint32_t* written)
{
    if (written != nullptr)
        *written = 0;
    HRESULT hr = MoveTo(offset, true);
    if (hr != KVD_S_OK)
        return hr;
    int result = 0;
    size_t put = mFile.fwrite(buffer, count, &result);
    mPosition += put;
    mPositionKnown = mPositionKnown && put == count;
    if (written != nullptr)
        *written = static_cast<uint32_t>(put);
    return result;
}

HRESULT FileLockBytes::SetSize(uint64_t size)
{
    // Buffered bytes must reach the file before its length changes under them.
    if (mFile.IsOpen() && std::fflush(mFile.GetFile()) != 0)
        return KVD_E_BADSTATE;
    mPositionKnown = false;
    int result = 0;
    mFile.ftruncate(static_cast<long long>(size), &result);
    return result;
}

HRESULT FileLockBytes::Flush()
{
    int result = 0;
    mFile.FullFlushSync(&result);
    return result;
}

HRESULT FileLockBytes::Stat(STATSTG* statstg, uint32_t flag)
{
    if (statstg == nullptr)
        return KVD_E_POINTER;
    *statstg = STATSTG();
    statstg->type = kTypeLockBytes;
    statstg->grfMode = mMode;
    if (mFile.IsOpen()) {
        std::fflush(mFile.GetFile());
        mPositionKnown = false;
        struct stat info;
        if (::fstat(::fileno(mFile.GetFile()), &info) == 0)
            statstg->cbSize = static_cast<uint64_t>(info.st_size);
    }
    if ((flag & STATFLAG_PATH) != 0)
        statstg->pathRef = mFileRef.CFURLCopyPath();
    return KVD_S_OK;
}

uint8_t* FileLockBytes::GetMemMappedAddress() { return nullptr; }

}  // namespace FileLockBytesImpl
