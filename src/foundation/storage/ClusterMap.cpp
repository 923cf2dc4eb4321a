#include "foundation/storage/ClusterMap.h"

#include <algorithm>
#include <new>

#include "KVDStorageResults.h"
#include "ResultCodes.h"
#include "foundation/storage/ByteOrder.h"

namespace KVDStg {

ClusterMap::ClusterMap(uint32_t shift) : mShift(shift) {}

bool ClusterMap::Create(uint32_t count)
{
    mEntries.clear();
    mEntries.push_back({0, kFree});
    mEntries.push_back({0, 0});
    return Init(count);
}

bool ClusterMap::Init(uint32_t count)
{
    uint32_t old = Count();
    if (count <= old)
        return true;
    if (count > kMaxEntryCount)
        return false;
    try {
        if (count > mEntries.capacity())
            mEntries.reserve(std::max<size_t>({2 * mEntries.capacity(), EntriesPerCluster(), count}));
        mEntries.resize(count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    mChanged = true;
    uint32_t tail = kFreeHead;
    while (mEntries[tail].next != 0)
        tail = mEntries[tail].next;
    for (uint32_t c = old; c < count; ++c) {
        mEntries[tail].next = c;
        mEntries[c] = {0, tail | kFree};
        tail = c;
    }
    return true;
}

void ClusterMap::TakeFree(uint32_t c)
{
    uint32_t prev = Prev(c);
    uint32_t next = mEntries[c].next;
    mEntries[prev].next = next;
    if (next != 0)
        mEntries[next].prev = prev | kFree;
    mEntries[c] = {0, 0};
    mChanged = true;
}

uint32_t ClusterMap::FindContiguousClusters(uint32_t want, uint32_t& found) const
{
    uint32_t runStart = 0;
    uint32_t length = 0;
    for (uint32_t c = kFirstRunCluster; c < Count() && length < want; ++c) {
        if (!IsFree(c)) {
            length = 0;
        } else if (length++ == 0) {
            runStart = c;
        }
    }
    found = length;
    return length != 0 ? runStart : 0;
}

bool ClusterMap::IsFreeRun(uint32_t first, uint32_t count) const
{
    if (first < kFirstRunCluster || first > Count() || count > Count() - first)
        return false;
    for (uint32_t c = first; c < first + count; ++c) {
        if (!IsFree(c))
            return false;
    }
    return true;
}

uint32_t ClusterMap::FindOrAllocateContiguousClusters(uint32_t want, bool grow)
{
    uint32_t found = 0;
    uint32_t run = FindContiguousClusters(want, found);
    if (found >= want)
        return run;
    // A run shorter than wanted is the one that reaches the map's end: growth lengthens it.
    uint32_t old = Count();
    uint64_t need = want - found;
    uint64_t perCluster = EntriesPerCluster();
    if (grow)
        need += (need + perCluster - 1) / perCluster;
    uint64_t count = old + perCluster * ((need + perCluster - 1) / perCluster);
    if (count > kMaxEntryCount || !Init(static_cast<uint32_t>(count)))
        return 0;
    return found != 0 ? run : old;
}

void ClusterMap::Replace(uint32_t old, uint32_t c)
{
    mEntries[c] = mEntries[old];
    if (mEntries[c].prev != 0)
        mEntries[mEntries[c].prev].next = c;
    if (mEntries[c].next != 0)
        mEntries[mEntries[c].next].prev = c;
    mEntries[old] = {0, 0};
    mChanged = true;
}

void ClusterMap::FreeStreamHead(uint32_t c)
{
    uint32_t first = mEntries[kFreeHead].next;
    mEntries[c] = {first, kFree};
    if (first != 0)
        mEntries[first].prev = c | kFree;
    mEntries[kFreeHead].next = c;
    mChanged = true;
}

void ClusterMap::AddToToFreeListHead(uint32_t c)
{
    Join(Prev(c), mEntries[c].next);
    uint32_t first = mEntries[kToFreeHead].next;
    mEntries[c] = {first, kToFreeHead};
    if (first != 0)
        mEntries[first].prev = c;
    mEntries[kToFreeHead].next = c;
    mChanged = true;
}

void ClusterMap::FreeToFreeList()
{
    uint32_t first = mEntries[kToFreeHead].next;
    if (first == 0)
        return;
    uint32_t last = kFreeHead;
    for (uint32_t c = first; c != 0; c = mEntries[c].next) {
        mEntries[c].prev = last | kFree;
        last = c;
    }
    uint32_t oldFirstFree = mEntries[kFreeHead].next;
    mEntries[last].next = oldFirstFree;
    if (oldFirstFree != 0)
        mEntries[oldFirstFree].prev = last | kFree;
    mEntries[kFreeHead].next = first;
    mEntries[kToFreeHead].next = 0;
    mChanged = true;
}

void ClusterMap::Join(uint32_t a, uint32_t b)
{
    if (a != 0)
        mEntries[a].next = b;
    if (b != 0)
        mEntries[b].prev = a;
}

uint32_t ClusterMap::HighestInUse(uint32_t first, uint32_t end) const
{
    for (uint32_t c = std::min(end, Count()); c-- > first;) {
        if (!IsFree(c))
            return c;
    }
    return 0;
}

void ClusterMap::Encode(uint8_t* out) const
{
    for (const ClusterEntry& entry : mEntries) {
        PutU32(out, entry.next);
        PutU32(out + 4, entry.prev);
        out += 8;
    }
}

void ClusterMap::Decode(const uint8_t* in, uint32_t count)
{
    mEntries.resize(count);
    for (ClusterEntry& entry : mEntries) {
        entry.next = GetU32(in);
        entry.prev = GetU32(in + 4);
        in += 8;
    }
    mChanged = false;
}

HRESULT ClusterMap::Validate(uint32_t first, bool hasToFreeList) const
{
    uint32_t count = Count();
    if (count <= first)
        return KVD_STG_E_CORRUPT;
    auto inRange = [&](uint32_t c) { return c == 0 || (c >= first && c < count); };
    for (uint32_t c = first; c < count; ++c) {
        uint32_t prev = Prev(c);
        bool prevIsHead = hasToFreeList && prev == kToFreeHead && !IsFree(c);
        if (!inRange(mEntries[c].next) || !(inRange(prev) || prevIsHead))
            return KVD_STG_E_CORRUPT;
    }
    std::vector<bool> seen(count);
    uint32_t freeLength = 0;
    uint32_t toFreeLength = 0;
    HRESULT hr = ValidateList(kFreeHead, first, true, seen, freeLength);
    if (hr == KVD_S_OK && hasToFreeList)
        hr = ValidateList(kToFreeHead, first, false, seen, toFreeLength);
    if (hr != KVD_S_OK)
        return hr;
    // A cluster marked free but off the free list would be handed out twice or never.
    uint32_t marked = 0;
    for (uint32_t c = first; c < count; ++c)
        marked += IsFree(c) ? 1 : 0;
    return marked == freeLength ? KVD_S_OK : KVD_STG_E_CORRUPT;
}

HRESULT ClusterMap::ValidateList(uint32_t head, uint32_t first, bool freeList, std::vector<bool>& seen,
                                 uint32_t& length) const
{
    uint32_t pred = head;
    for (uint32_t c = mEntries[head].next; c != 0; c = mEntries[c].next) {
        // Each member must be a real cluster, seen once, marked as its list says, and point
        // back at its predecessor (the first at the head).
        if (c < first || c >= Count() || seen[c] || IsFree(c) != freeList || Prev(c) != pred)
            return KVD_STG_E_CORRUPT;
        seen[c] = true;
        pred = c;
        ++length;
    }
    return KVD_S_OK;
}

}  // namespace KVDStg
