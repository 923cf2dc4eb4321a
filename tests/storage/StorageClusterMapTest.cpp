// The cluster map: free list order, runs, the to-free list, growth and the checks made on a
// map read from disk.
#include <gtest/gtest.h>

#include <vector>

#include "KVDStorageResults.h"
#include "foundation/storage/ByteOrder.h"
#include "foundation/storage/ClusterMap.h"

using namespace KVDStg;

namespace {

std::vector<uint32_t> FreeList(const ClusterMap& map)
{
    std::vector<uint32_t> list;
    for (uint32_t c = map.FirstFree(); c != 0 && list.size() <= map.Count(); c = map.Next(c))
        list.push_back(c);
    return list;
}

// A map of 128 entries with clusters 2..4 taken as one chain.
ClusterMap MapWithChain()
{
    ClusterMap map(10);
    map.Create(128);
    for (uint32_t c = 2; c <= 4; ++c) {
        map.TakeFree(c);
        if (c > 2)
            map.Join(c - 1, c);
    }
    return map;
}

ClusterMap Reloaded(const ClusterMap& map)
{
    std::vector<uint8_t> bytes(map.Count() * 8);
    map.Encode(bytes.data());
    ClusterMap back(map.Shift());
    back.Decode(bytes.data(), map.Count());
    return back;
}

}  // namespace

TEST(StorageClusterMap, NewMapHasAscendingFreeList)
{
    ClusterMap map(10);
    ASSERT_TRUE(map.Create(128));
    EXPECT_EQ(128u, map.Count());
    EXPECT_EQ(128u, map.EntriesPerCluster());
    std::vector<uint32_t> list = FreeList(map);
    ASSERT_EQ(126u, list.size());
    for (uint32_t i = 0; i < list.size(); ++i)
        ASSERT_EQ(i + 2, list[i]);
    EXPECT_TRUE(map.IsFree(2));
    EXPECT_EQ(0u, map.Prev(2));

    // Entries as stored: heads {0, 0x80000000} and {0, 0}, then each free cluster.
    std::vector<uint8_t> bytes(map.Count() * 8);
    map.Encode(bytes.data());
    EXPECT_EQ(2u, GetU32(&bytes[0]));
    EXPECT_EQ(0x80000000u, GetU32(&bytes[4]));
    EXPECT_EQ(0u, GetU32(&bytes[8]));
    EXPECT_EQ(0u, GetU32(&bytes[12]));
    EXPECT_EQ(3u, GetU32(&bytes[16]));
    EXPECT_EQ(0x80000000u, GetU32(&bytes[20]));
    EXPECT_EQ(0x80000002u, GetU32(&bytes[28]));
    EXPECT_EQ(0u, GetU32(&bytes[127 * 8]));
    EXPECT_EQ(KVD_S_OK, Reloaded(map).Validate(2, true));
}

TEST(StorageClusterMap, GrowthAppendsToTheFreeListEnd)
{
    ClusterMap map = MapWithChain();
    map.TakeFree(127);
    ASSERT_TRUE(map.Grow());
    EXPECT_EQ(256u, map.Count());
    std::vector<uint32_t> list = FreeList(map);
    EXPECT_EQ(126u, list[121]);
    EXPECT_EQ(128u, list[122]);
    EXPECT_EQ(255u, list.back());
    // A request larger than twice the capacity is met in one step.
    ASSERT_TRUE(map.Init(4096));
    EXPECT_EQ(4096u, map.Count());
    EXPECT_EQ(KVD_S_OK, map.Validate(2, true));
    EXPECT_FALSE(map.Init(ClusterMap::kMaxEntryCount + 1));
}

TEST(StorageClusterMap, FindsRunsAndGrowsForThem)
{
    ClusterMap map = MapWithChain();
    uint32_t found = 0;
    EXPECT_EQ(0u, map.FindContiguousClusters(0, found));
    EXPECT_EQ(0u, found);
    EXPECT_EQ(5u, map.FindContiguousClusters(1, found));
    EXPECT_EQ(1u, found);
    map.TakeFree(8);  // free: 5 6 7 9 10 ...
    EXPECT_EQ(5u, map.FindContiguousClusters(3, found));
    EXPECT_EQ(9u, map.FindContiguousClusters(4, found));
    EXPECT_EQ(4u, found);
    EXPECT_TRUE(map.IsFreeRun(9, 119));
    EXPECT_FALSE(map.IsFreeRun(7, 2));
    EXPECT_FALSE(map.IsFreeRun(9, 120));

    // No run of 200 in a 128-entry map: the last run (9..127) ends at the map's end, so the
    // map grows behind it by whole clusters' worth of entries and the run starts at 9.
    EXPECT_EQ(9u, map.FindOrAllocateContiguousClusters(200, false));
    EXPECT_EQ(256u, map.Count());
    EXPECT_EQ(9u, map.FindContiguousClusters(200, found));
    EXPECT_EQ(200u, found);

    // Clusters freed one by one join the free list's front in the reverse of their order;
    // the run is found all the same, and then nothing grows.
    ClusterMap full(10);
    full.Create(128);
    for (uint32_t c = 2; c < 128; ++c)
        full.TakeFree(c);
    for (uint32_t c = 50; c < 60; ++c)
        full.FreeStreamHead(c);
    EXPECT_EQ(59u, full.FirstFree());
    EXPECT_EQ(50u, full.FindOrAllocateContiguousClusters(10, true));
    EXPECT_EQ(128u, full.Count());
    // When no run reaches the end, the run starts at the old count.
    EXPECT_EQ(128u, full.FindOrAllocateContiguousClusters(11, true));
    EXPECT_EQ(256u, full.Count());
}

TEST(StorageClusterMap, ToFreeListHoldsClustersUntilReleased)
{
    ClusterMap map = MapWithChain();
    map.AddToToFreeListHead(3);  // middle of the chain 2 3 4
    EXPECT_EQ(4u, map.Next(2));
    EXPECT_EQ(2u, map.Prev(4));
    EXPECT_FALSE(map.IsFree(3));
    EXPECT_EQ(1u, map.Prev(3));
    map.AddToToFreeListHead(4);
    EXPECT_EQ(0u, map.Next(2));
    EXPECT_EQ(4u, map.Prev(3));
    EXPECT_EQ(KVD_S_OK, Reloaded(map).Validate(2, true));

    std::vector<uint32_t> before = FreeList(map);
    map.FreeToFreeList();
    std::vector<uint32_t> after = FreeList(map);
    ASSERT_EQ(before.size() + 2, after.size());
    EXPECT_EQ(4u, after[0]);
    EXPECT_EQ(3u, after[1]);
    EXPECT_EQ(before[0], after[2]);
    EXPECT_TRUE(map.IsFree(3));
    EXPECT_EQ(KVD_S_OK, Reloaded(map).Validate(2, true));
    EXPECT_EQ(2u, map.HighestInUse(2));
}

TEST(StorageClusterMap, ValidationRefusesDamage)
{
    ClusterMap good = MapWithChain();
    auto damaged = [&](uint32_t c, uint32_t next, uint32_t prev) {
        std::vector<uint8_t> bytes(good.Count() * 8);
        if (bytes.size() < (c + 1) * 8)
            return KVD_STG_E_INVALIDARG;  // no such entry to damage
        good.Encode(bytes.data());
        PutU32(&bytes[c * 8], next);
        PutU32(&bytes[c * 8 + 4], prev);
        ClusterMap map(10);
        map.Decode(bytes.data(), good.Count());
        return map.Validate(2, true);
    };
    EXPECT_EQ(KVD_S_OK, damaged(3, 4, 2));
    EXPECT_EQ(KVD_STG_E_CORRUPT, damaged(3, 128, 2));            // next beyond the map
    EXPECT_EQ(KVD_STG_E_CORRUPT, damaged(3, 4, 0x7FFFFFFF));     // prev beyond the map
    EXPECT_EQ(KVD_STG_E_CORRUPT, damaged(100, 5, 0x80000063));   // free list cycles back
    EXPECT_EQ(KVD_STG_E_CORRUPT, damaged(3, 4, 0x80000002));     // marked free, not on the list
    EXPECT_EQ(KVD_STG_E_CORRUPT, damaged(0, 1, 0x80000000));     // list head names a list head
    EXPECT_EQ(KVD_STG_E_CORRUPT, damaged(1, 3, 0));              // to-free list starts at a used cluster
    EXPECT_EQ(KVD_STG_E_CORRUPT, damaged(1, 5, 0));              // to-free list takes a free cluster
}
