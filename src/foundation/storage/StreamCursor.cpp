#include "foundation/storage/StreamCursor.h"

#include <algorithm>

#include "KVDStorageResults.h"
#include "foundation/storage/StorageAllocator.h"

namespace KVDStg {

StreamCursor::StreamCursor(StorageAllocator& allocator, std::shared_ptr<Element> element)
    : mAllocator(allocator), mElement(std::move(element)), mPos(mElement->start),
      mGeneration(mElement->chainGeneration)
{
}

void StreamCursor::Refresh()
{
    if (mGeneration == mElement->chainGeneration)
        return;
    int64_t offset = std::min(mPos.offset, mElement->Size());
    mPos = mElement->start;
    if (mAllocator.ClusterSeek(*mElement, mPos, offset) != KVD_S_OK)
        mPos = mElement->start;
    Follow();
}

HRESULT StreamCursor::AllocHead()
{
    if (mElement->FirstCluster() != 0)
        return KVD_S_OK;
    HRESULT hr = mAllocator.AllocHeadIfNeeded(*mElement);
    if (hr == KVD_S_OK) {
        mPos = mElement->start;
        Follow();
    }
    return hr;
}

HRESULT StreamCursor::Read(uint8_t* buffer, size_t count, size_t& done)
{
    done = 0;
    Refresh();
    if (mElement->FirstCluster() == 0)
        return mPos.offset == 0 ? KVD_S_OK : KVD_E_BADSTATE;
    int64_t left = mElement->Size() - mPos.offset;
    if (left <= 0 || count == 0)
        return KVD_S_OK;
    size_t n = static_cast<size_t>(std::min<uint64_t>(count, static_cast<uint64_t>(left)));
    return mAllocator.ClusterRead(mPos, buffer, n, done);
}

HRESULT StreamCursor::Write(const uint8_t* buffer, size_t count, size_t& done)
{
    done = 0;
    if (count == 0)
        return KVD_S_OK;
    if (mAllocator.ReadOnly())
        return KVD_E_BADSTATE;
    Refresh();
    HRESULT hr = AllocHead();
    if (hr != KVD_S_OK)
        return hr;
    Element& element = *mElement;
    hr = mAllocator.ClusterWrite(element, mPos, buffer, count, done);
    if (mPos.offset > element.Size()) {
        element.end = mPos;
        element.changed = true;
    }
    // A failed write may have taken clusters that now lie beyond the end.
    if (hr != KVD_S_OK)
        mAllocator.TrimChain(element);
    Follow();
    return hr;
}

HRESULT StreamCursor::SeekTo(int64_t offset)
{
    if (offset < 0)
        return KVD_STG_E_INVALIDARG;
    Refresh();
    Element& element = *mElement;
    HRESULT hr = KVD_S_OK;
    if (offset > element.Size()) {
        // Seeking past the end lengthens the stream.
        if (mAllocator.ReadOnly())
            return KVD_E_BADSTATE;
        hr = AllocHead();
        if (hr == KVD_S_OK)
            hr = mAllocator.ClusterSetSize(element, offset);
        mPos = element.end;
    } else {
        hr = mAllocator.ClusterSeek(element, mPos, offset);
    }
    Follow();
    return hr;
}

HRESULT StreamCursor::SetSize(int64_t size)
{
    if (size < 0)
        return KVD_STG_E_INVALIDARG;
    if (mAllocator.ReadOnly())
        return KVD_E_BADSTATE;
    Refresh();
    Element& element = *mElement;
    if (size == element.Size() && element.FirstCluster() != 0)
        return KVD_S_OK;
    HRESULT hr = KVD_S_OK;
    if (size == 0 && mAllocator.Transacted()) {
        // The emptied stream keeps no cluster: its next write starts in a fresh one.
        hr = mAllocator.FreeChain(element);
    } else {
        hr = AllocHead();
        if (hr == KVD_S_OK)
            hr = mAllocator.ClusterSetSize(element, size);
    }
    if (mPos.offset > element.Size() || element.FirstCluster() == 0)
        mPos = element.end;
    // Lengthening may have copied the cluster under the position (transacted mode).
    Refresh();
    return hr;
}

}  // namespace KVDStg
