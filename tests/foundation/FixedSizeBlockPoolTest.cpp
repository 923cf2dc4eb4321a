// The block pool hands out blocks of a chunk in address order and frees whole chunks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

#include "foundation/FixedSizeBlockPool.h"

namespace {

char* Take(FixedSizeBlockPool& pool) { return static_cast<char*>(pool.Allocate()); }

// Blocks of a chunk come in address order, then a new chunk's; none overlaps another.
TEST(FixedSizeBlockPool, BlocksComeInAddressOrderChunkByChunkAndDoNotOverlap)
{
    FixedSizeBlockPool pool(24, 10);
    std::vector<char*> blocks;
    for (int i = 0; i < 35; ++i) {
        blocks.push_back(Take(pool));
        std::memset(blocks.back(), i, 24);
    }
    for (int i = 1; i < 10; ++i)
        EXPECT_EQ(blocks[i] - blocks[i - 1], 24);
    EXPECT_TRUE(blocks[10] < blocks.front() || blocks[10] > blocks[9]);
    for (int i = 0; i < 35; ++i)
        EXPECT_TRUE(std::all_of(blocks[i], blocks[i] + 24, [i](char c) { return c == char(i); })) << i;
}

TEST(FixedSizeBlockPool, TinyBlocksAreRoundedToAPointerAndEmptyChunksToOneBlock)
{
    FixedSizeBlockPool pool(3, 0);
    EXPECT_EQ(pool.GetBlockSize(), sizeof(void*));
    EXPECT_EQ(pool.GetBlocksPerChunk(), 1u);
    char* a = Take(pool);
    char* b = Take(pool);
    EXPECT_NE(a, b);
    std::memset(a, 1, sizeof(void*));
    std::memset(b, 2, sizeof(void*));
    EXPECT_EQ(a[0], 1);
}

TEST(FixedSizeBlockPool, GrowingEarlyKeepsTheFreeBlocksOfTheOlderChunk)
{
    FixedSizeBlockPool pool(16, 4);
    char* first = Take(pool);
    pool.Grow();
    std::set<char*> taken;
    for (int i = 0; i < 7; ++i)
        taken.insert(Take(pool));
    EXPECT_EQ(taken.size(), 7u);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(taken.count(first + 16 * i), 1u) << i;
}

TEST(FixedSizeBlockPool, FlushStartsAfresh)
{
    FixedSizeBlockPool pool(32, 2);
    for (int i = 0; i < 5; ++i)
        Take(pool);
    pool.Flush();
    char* a = Take(pool);
    char* b = Take(pool);
    EXPECT_EQ(b - a, 32);
}

}  // namespace
