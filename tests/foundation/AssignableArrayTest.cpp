// The shared int array: one block with a header, shared by assignment.
#include <gtest/gtest.h>

#include <cstring>

#include "foundation/AssignableArray.h"

namespace {

typedef AssignableArrayInit<int, true> IntArray;

// The four header words in front of the first element: references, capacity, count, step.
std::vector<uint32_t> HeaderOf(const IntArray& array)
{
    uint32_t words[4];
    std::memcpy(words, reinterpret_cast<const char*>(array.begin()) - sizeof(words), sizeof(words));
    return {words[0], words[1], words[2], words[3]};
}

TEST(AssignableArray, TheBlockStartsWithItsHeader)
{
    IntArray array(10, 4);
    EXPECT_EQ(HeaderOf(array), (std::vector<uint32_t>{1, 10, 0, 4}));
    array.DoInit(3);
    EXPECT_EQ(HeaderOf(array), (std::vector<uint32_t>{1, 10, 3, 4}));
    for (int v : array)
        EXPECT_EQ(v, 0);
}

TEST(AssignableArray, CopiesAndAssignmentsShareTheBlock)
{
    IntArray a(4, 4);
    a.DoInit(2);
    a[1] = 42;
    IntArray b(a);
    IntArray c;
    c = b;
    EXPECT_EQ(HeaderOf(a)[0], 3u);
    EXPECT_EQ(c.begin(), a.begin());
    c[0] = 7;
    EXPECT_EQ(a[0], 7);
    EXPECT_EQ(b[1], 42);
    c = c;
    EXPECT_EQ(HeaderOf(a)[0], 3u);
}

TEST(AssignableArray, TheLastReferenceFreesTheBlock)
{
    IntArray a(4, 4);
    {
        IntArray b(a);
        b.DelRefChk();
        EXPECT_EQ(HeaderOf(a)[0], 1u);
    }
    EXPECT_EQ(HeaderOf(a)[0], 1u);
}

TEST(AssignableArray, InitPastTheCapacityGivesTheArrayABlockOfItsOwn)
{
    IntArray a(2, 4);
    a.DoInit(2);
    a[0] = 5;
    IntArray shared(a);
    a.DoInit(6);
    EXPECT_NE(a.begin(), shared.begin());
    EXPECT_EQ(HeaderOf(a), (std::vector<uint32_t>{1, 8, 6, 4}));
    EXPECT_EQ(a[0], 5);
    EXPECT_EQ(a[5], 0);
    EXPECT_EQ(HeaderOf(shared), (std::vector<uint32_t>{1, 2, 2, 4}));
}

}  // namespace
