#include "foundation/storage/KVDStream.h"

#include <algorithm>
#include <limits>
#include <mutex>
#include <vector>

#include "KVDStorageResults.h"
#include "foundation/storage/KVDStorage.h"
#include "foundation/storage/StorageAllocator.h"

namespace KVDStg {

namespace {

typedef std::lock_guard<std::recursive_mutex> Lock;

constexpr size_t kCopyBuffer = 64 * 1024;

}  // namespace

KVDStream::KVDStream(KVDStorage* storage, std::shared_ptr<Element> element)
    : mStorage(storage), mCursor(storage->Allocator(), std::move(element)), mEpoch(storage->Allocator().Epoch())
{
}

KVDStream::~KVDStream() = default;

bool KVDStream::Usable() const
{
    return !mCursor.GetElement()->defunct && mEpoch == mStorage->Allocator().Epoch();
}

HRESULT KVDStream::Read(void* buffer, uint32_t cb, uint32_t* read)
{
    if (read != nullptr)
        *read = 0;
    if (buffer == nullptr && cb != 0)
        return KVD_E_POINTER;
    Lock lock(mStorage->Allocator().Mutex());
    if (!Usable())
        return KVD_E_BADSTATE;
    size_t done = 0;
    HRESULT hr = mCursor.Read(static_cast<uint8_t*>(buffer), cb, done);
    if (read != nullptr)
        *read = static_cast<uint32_t>(done);
    return hr;
}

HRESULT KVDStream::Write(const void* buffer, uint32_t cb, uint32_t* written)
{
    if (written != nullptr)
        *written = 0;
    if (buffer == nullptr && cb != 0)
        return KVD_E_POINTER;
    Lock lock(mStorage->Allocator().Mutex());
    if (!Usable())
        return KVD_E_BADSTATE;
    size_t done = 0;
    HRESULT hr = mCursor.Write(static_cast<const uint8_t*>(buffer), cb, done);
    if (written != nullptr)
        *written = static_cast<uint32_t>(done);
    return hr;
}

HRESULT KVDStream::Seek(int64_t move, uint32_t origin, uint64_t* position)
{
    Lock lock(mStorage->Allocator().Mutex());
    if (!Usable())
        return KVD_E_BADSTATE;
    StorageAllocator& allocator = mStorage->Allocator();
    int64_t base = 0;
    switch (origin) {
    case STREAM_SEEK_SET:
        // Older files count only the low 32 bits of an absolute move.
        if (!allocator.CurrentLayout())
            move = static_cast<uint32_t>(move);
        break;
    case STREAM_SEEK_CUR:
        base = mCursor.Offset();
        break;
    case STREAM_SEEK_END:
        base = mCursor.GetElement()->Size();
        break;
    default:
        return KVD_STG_E_BADORIGIN;
    }
    if ((move > 0 && base > std::numeric_limits<int64_t>::max() - move) || base + move < 0)
        return KVD_STG_E_INVALIDARG;
    HRESULT hr = mCursor.SeekTo(base + move);
    if (position != nullptr)
        *position = static_cast<uint64_t>(mCursor.Offset());
    return hr;
}

HRESULT KVDStream::SetSize(uint64_t size)
{
    if (size > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
        return KVD_STG_E_INVALIDARG;
    Lock lock(mStorage->Allocator().Mutex());
    if (!Usable())
        return KVD_E_BADSTATE;
    return mCursor.SetSize(static_cast<int64_t>(size));
}

HRESULT KVDStream::CopyTo(IStream* target, uint64_t cb, uint64_t* read, uint64_t* written)
{
    if (read != nullptr)
        *read = 0;
    if (written != nullptr)
        *written = 0;
    if (target == nullptr)
        return KVD_E_POINTER;
    Lock lock(mStorage->Allocator().Mutex());
    std::vector<uint8_t> buffer(kCopyBuffer);
    uint64_t totalRead = 0;
    uint64_t totalWritten = 0;
    HRESULT hr = KVD_S_OK;
    while (totalRead < cb) {
        uint32_t want = static_cast<uint32_t>(std::min<uint64_t>(buffer.size(), cb - totalRead));
        uint32_t got = 0;
        hr = Read(buffer.data(), want, &got);
        if (got == 0)
            break;
        totalRead += got;
        uint32_t put = 0;
        hr = target->Write(buffer.data(), got, &put);
        totalWritten += put;
        // Bytes read but not written would be lost without a word.
        if (put < got) {
            if (hr == KVD_S_OK)
                hr = KVD_E_BADSTATE;
            break;
        }
    }
    if (read != nullptr)
        *read = totalRead;
    if (written != nullptr)
        *written = totalWritten;
    return hr;
}

HRESULT KVDStream::Commit(uint32_t) { return KVD_S_OK; }

HRESULT KVDStream::Revert() { return KVD_E_NOTIMPL; }

HRESULT KVDStream::LockRegion(uint64_t, uint64_t, uint32_t) { return KVD_E_NOTIMPL; }

HRESULT KVDStream::UnlockRegion(uint64_t, uint64_t, uint32_t) { return KVD_E_NOTIMPL; }

HRESULT KVDStream::Stat(STATSTG* stat, uint32_t flag)
{
    if (stat == nullptr)
        return KVD_E_POINTER;
    Lock lock(mStorage->Allocator().Mutex());
    return mCursor.GetElement()->MakeSTATSTG(*stat, flag);
}

HRESULT KVDStream::Clone(IStream** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    Lock lock(mStorage->Allocator().Mutex());
    if (!Usable())
        return KVD_E_BADSTATE;
    KVD::COMPtr<KVDStream> clone;
    try {
        clone = KVD::MakeCounted<KVDStream>(mStorage, mCursor.GetElement());
    } catch (...) {
        return KVD_STG_E_NOSPACE;
    }
    HRESULT hr = clone->mCursor.SeekTo(std::min(mCursor.Offset(), mCursor.GetElement()->Size()));
    *out = clone.Forget();
    return hr;
}

HRESULT KVDStream::GetMemPos(uint64_t offset, uint32_t count, const uint8_t** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    Lock lock(mStorage->Allocator().Mutex());
    if (!Usable())
        return KVD_E_BADSTATE;
    StorageAllocator& allocator = mStorage->Allocator();
    if (!allocator.CurrentLayout())
        offset = static_cast<uint32_t>(offset);
    *out = allocator.IsContiguous(*mCursor.GetElement(), offset, count);
    return *out != nullptr ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT KVDStream::GetLockBytesId(uint32_t* id) { return mStorage->GetLockBytesId(id); }

HRESULT KVDStream::GetLockBytes(ILockBytes** out) { return mStorage->GetLockBytes(out); }

}  // namespace KVDStg
