// The cluster map: one 8-byte entry per cluster number, chaining the clusters of each stream,
// the free list (head at entry 0) and the to-free list (head at entry 1) of clusters given up
// in the current transaction.
#pragma once

#include <cstdint>
#include <vector>

#include "KVDTypes.h"

namespace KVDStg {

struct ClusterEntry {
    uint32_t next = 0;  // following cluster of the same list, 0 at the end
    uint32_t prev = 0;  // bit 31: free; low 31 bits: preceding cluster, 0 for none
};

class ClusterMap {
public:
    static constexpr uint32_t kFreeHead = 0;
    static constexpr uint32_t kToFreeHead = 1;
    static constexpr uint32_t kMaxEntryCount = 0x7FFFFFFE;
    // Runs are looked for from here: only files of the current layout, whose clusters are
    // numbered from 2, are written.
    static constexpr uint32_t kFirstRunCluster = 2;

    explicit ClusterMap(uint32_t shift = 10);

    uint32_t Shift() const { return mShift; }
    uint32_t ClusterSize() const { return 1u << mShift; }
    uint32_t EntriesPerCluster() const { return ClusterSize() / 8; }
    uint32_t Count() const { return static_cast<uint32_t>(mEntries.size()); }
    bool Changed() const { return mChanged; }
    void SetChanged(bool changed) { mChanged = changed; }

    uint32_t Next(uint32_t c) const { return mEntries[c].next; }
    uint32_t Prev(uint32_t c) const { return mEntries[c].prev & ~kFree; }
    bool IsFree(uint32_t c) const { return (mEntries[c].prev & kFree) != 0; }
    uint32_t FirstFree() const { return mEntries[kFreeHead].next; }

    // A new map: the two list heads, then count entries in all, every cluster free.
    bool Create(uint32_t count);
    // Grows to count entries; the new clusters join the end of the free list in ascending
    // order. False when the map cannot grow.
    bool Init(uint32_t count);
    bool Grow() { return Init(Count() + EntriesPerCluster()); }

    // Takes a free cluster off the free list; it is left unlinked and in use.
    void TakeFree(uint32_t c);
    // The lowest run of want consecutive free clusters, found by cluster number: the free
    // list's order says nothing of runs, since freed clusters join it at its front. Without
    // one, the free run that reaches the map's end, found receiving its length (0: none).
    uint32_t FindContiguousClusters(uint32_t want, uint32_t& found) const;
    bool IsFreeRun(uint32_t first, uint32_t count) const;
    // A run of want consecutive free clusters, growing the map when there is none; with
    // grow, room is added for the map's own growth. 0 when the map cannot grow.
    uint32_t FindOrAllocateContiguousClusters(uint32_t want, bool grow);

    // Puts c where old stands in its chain; old is left unlinked.
    void Replace(uint32_t old, uint32_t c);
    void FreeStreamHead(uint32_t c);
    // Unlinks c from its chain and pushes it on the front of the to-free list.
    void AddToToFreeListHead(uint32_t c);
    // Moves the whole to-free list onto the front of the free list.
    void FreeToFreeList();
    void Join(uint32_t a, uint32_t b);

    // The highest cluster at or above first and below end that is not free; 0 when there is none.
    uint32_t HighestInUse(uint32_t first, uint32_t end = UINT32_MAX) const;

    void Encode(uint8_t* out) const;
    void Decode(const uint8_t* in, uint32_t count);
    // Checks the links of every entry and the two lists (KVD_STG_E_CORRUPT when damaged).
    // first is the lowest real cluster number; the older layout has no to-free list.
    HRESULT Validate(uint32_t first, bool hasToFreeList) const;

private:
    static constexpr uint32_t kFree = 0x80000000;

    HRESULT ValidateList(uint32_t head, uint32_t first, bool freeList, std::vector<bool>& seen, uint32_t& length) const;

    std::vector<ClusterEntry> mEntries;
    uint32_t mShift;
    bool mChanged = false;
};

}  // namespace KVDStg
