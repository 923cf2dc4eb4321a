#include "foundation/storage/StorageValidator.h"

#include <utility>

#include "KVDStorageResults.h"
#include "foundation/storage/ElementTable.h"
#include "foundation/storage/StorageAllocator.h"

namespace KVDStg {

StorageValidator::StorageValidator(StorageAllocator& allocator) : mAllocator(allocator), mMap(allocator.Map()) {}

HRESULT StorageValidator::Run()
{
    mClaimed.assign(mMap.Count(), false);
    HRESULT hr = ClaimMapRun();
    // Depth first with a stack of our own: the nesting of a damaged file is not to be trusted
    // with the call stack.
    std::vector<std::pair<Element, uint32_t>> pending = {{*mAllocator.Root(), 0}};
    while (hr == KVD_S_OK && !pending.empty()) {
        Element element = pending.back().first;
        uint32_t depth = pending.back().second;
        pending.pop_back();
        hr = ClaimChain(element);
        if (hr != KVD_S_OK || !element.IsStorage())
            continue;
        std::vector<Element> children;
        hr = depth < kMaxStorageDepth ? ReadChildren(element, children) : KVD_STG_E_CORRUPT;
        for (const Element& child : children)
            pending.emplace_back(child, depth + 1);
    }
    if (hr != KVD_S_OK)
        return hr;
    uint32_t highest = mMap.HighestInUse(mAllocator.FirstCluster());
    if (highest != 0 && mAllocator.FileSize() < mAllocator.FileOffset(highest) + mAllocator.ClusterSize())
        return KVD_STG_E_CORRUPT;
    return KVD_S_OK;
}

HRESULT StorageValidator::ClaimMapRun()
{
    const RootStorageInfo& info = mAllocator.Info();
    unsigned valid = info.ValidCopy();
    uint64_t bytes = static_cast<uint64_t>(info.mapCount[valid]) * 8;
    uint64_t clusters = (bytes + mMap.ClusterSize() - 1) / mMap.ClusterSize();
    uint32_t last = 0;
    // The current layout reads the map in one piece, so its run must be consecutive.
    return WalkChain(info.mapStart[valid], clusters, mAllocator.CurrentLayout(), last);
}

HRESULT StorageValidator::ClaimChain(const Element& element)
{
    uint32_t first = element.FirstCluster();
    int64_t size = element.Size();
    if (first == 0)
        return size == 0 && element.end.cluster == 0 ? KVD_S_OK : KVD_STG_E_CORRUPT;
    uint64_t cs = mMap.ClusterSize();
    if (static_cast<uint64_t>(size) > static_cast<uint64_t>(mMap.Count()) * cs)
        return KVD_STG_E_CORRUPT;
    uint64_t length = size == 0 ? 1 : (static_cast<uint64_t>(size) + cs - 1) / cs;
    uint32_t last = 0;
    HRESULT hr = WalkChain(first, length, false, last);
    if (hr != KVD_S_OK)
        return hr;
    return element.end.cluster == mAllocator.MakePos(size, last).cluster ? KVD_S_OK : KVD_STG_E_CORRUPT;
}

HRESULT StorageValidator::WalkChain(uint32_t first, uint64_t length, bool consecutive, uint32_t& last)
{
    uint32_t prev = 0;
    uint32_t c = first;
    for (uint64_t i = 0; i < length; ++i) {
        // A claimed cluster met again is a cycle or a cluster shared by two chains.
        bool sound = c >= mAllocator.FirstCluster() && c < mMap.Count() && !mMap.IsFree(c) && mMap.Prev(c) == prev &&
                     !mClaimed[c] && (!consecutive || i == 0 || c == prev + 1);
        if (!sound)
            return KVD_STG_E_CORRUPT;
        mClaimed[c] = true;
        prev = c;
        c = mMap.Next(c);
    }
    last = prev;
    return c == 0 && length != 0 ? KVD_S_OK : KVD_STG_E_CORRUPT;
}

HRESULT StorageValidator::ReadChildren(const Element& storage, std::vector<Element>& children)
{
    uint64_t size = static_cast<uint64_t>(storage.Size());
    if (size == 0)
        return KVD_S_OK;
    if (size > ElementTable::kLargestDirectory)
        return KVD_STG_E_CORRUPT;
    std::vector<uint8_t> bytes(size);
    KVDStreamPos pos = storage.start;
    size_t done = 0;
    HRESULT hr = mAllocator.ClusterRead(pos, bytes.data(), bytes.size(), done);
    if (hr != KVD_S_OK || done != bytes.size())
        return KVD_STG_E_CORRUPT;
    return ElementTable::Parse(bytes, !mAllocator.CurrentLayout(), children) == KVD_S_OK ? KVD_S_OK
                                                                                          : KVD_STG_E_CORRUPT;
}

}  // namespace KVDStg
