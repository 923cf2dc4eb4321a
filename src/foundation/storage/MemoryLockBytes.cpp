#include "foundation/storage/MemoryLockBytes.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "KVDStorageResults.h"
#include "ResultCodes.h"
#include "STATSTG.h"
#include "foundation/storage/StorageFormat.h"

namespace KVDStg {

MemoryLockBytes* MemoryLockBytes::Create(std::vector<uint8_t> bytes)
{
    return KVD::COMPtr<MemoryLockBytes>(new MemoryLockBytes(std::move(bytes))).Forget();
}

MemoryLockBytes::MemoryLockBytes(std::vector<uint8_t> bytes) : mBytes(std::move(bytes)) {}

HRESULT MemoryLockBytes::Flush() { return KVD_S_OK; }

HRESULT MemoryLockBytes::ReadAt(uint64_t offset, void* buffer, uint32_t count, uint32_t* read)
{
    uint64_t available = offset < mBytes.size() ? mBytes.size() - offset : 0;
    uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(count, available));
    if (n != 0)
        std::memcpy(buffer, mBytes.data() + offset, n);
    if (read != nullptr)
        *read = n;
    return KVD_S_OK;
}

HRESULT MemoryLockBytes::WriteAt(uint64_t offset, const void* buffer, uint32_t count, uint32_t* written)
{
    if (written != nullptr)
        *written = 0;
    try {
        if (offset + count > mBytes.size())
            mBytes.resize(offset + count);
    } catch (const std::bad_alloc&) {
        return KVD_STG_E_NOSPACE;
    }
    if (count != 0)
        std::memcpy(mBytes.data() + offset, buffer, count);
    if (written != nullptr)
        *written = count;
    return KVD_S_OK;
}

HRESULT MemoryLockBytes::SetSize(uint64_t size)
{
    try {
        mBytes.resize(size);
    } catch (const std::bad_alloc&) {
        return KVD_STG_E_NOSPACE;
    }
    return KVD_S_OK;
}

HRESULT MemoryLockBytes::Stat(STATSTG* statstg, uint32_t)
{
    if (statstg == nullptr)
        return KVD_E_POINTER;
    *statstg = STATSTG();
    statstg->type = kTypeLockBytes;
    statstg->cbSize = mBytes.size();
    statstg->grfMode = kModeReadWrite;
    return KVD_S_OK;
}

uint8_t* MemoryLockBytes::GetMemMappedAddress() { return mBytes.data(); }

}  // namespace KVDStg
