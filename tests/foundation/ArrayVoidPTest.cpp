// Growth, insertion and removal rules of the pointer array, observed through a variant that
// records what it is asked to dispose of.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "foundation/ArrayVoidP.h"

namespace {

class Recording : public CArrayVoidP {
public:
    using CArrayVoidP::CArrayVoidP;
    void DeleteRange(unsigned first, unsigned last) override { disposed.push_back({first, last}); }
    std::vector<std::pair<unsigned, unsigned>> disposed;
};

void* Item(uintptr_t n) { return reinterpret_cast<void*>(n); }

std::vector<uintptr_t> Items(const CArrayVoidP& array)
{
    std::vector<uintptr_t> items;
    for (void* p : array)
        items.push_back(reinterpret_cast<uintptr_t>(p));
    return items;
}

void Fill(CArrayVoidP& array, unsigned n)
{
    for (unsigned i = 1; i <= n; ++i)
        array.Add(Item(i));
}

// Capacities after growing: a doubling array starts at eight, then takes the larger of twice
// its capacity and the count rounded up to its step; a fixed one rounds up to its step.
TEST(ArrayVoidPGrowth, CapacitiesAfterGrowing)
{
    enum How { kAdd, kInit, kSetOrAdd };
    const struct {
        unsigned capacity, growBy;
        bool doubling;
        How how;
        unsigned n;  // items added, count initialised, or index set
        unsigned expectedCapacity, expectedCount;
    } cases[] = {
        {0, 0, true, kAdd, 1, 8, 1},       {0, 0, true, kAdd, 9, 16, 9},
        {4, 4, false, kInit, 9, 12, 9},    {4, 4, false, kAdd, 13, 16, 13},
        {8, 8, true, kInit, 30, 32, 30},   {32, 8, true, kInit, 33, 64, 33},
        {4, 4, false, kSetOrAdd, 10, 14, 11}, {8, 8, true, kSetOrAdd, 20, 28, 21},
    };
    for (const auto& c : cases) {
        Recording array(c.capacity, 0, c.growBy, false, c.doubling);
        if (c.how == kAdd)
            Fill(array, c.n);
        else if (c.how == kInit)
            array.Init(c.n);
        else
            array.SetOrAdd(c.n) = Item(7);
        EXPECT_EQ(array.GetCapacity(), c.expectedCapacity) << c.capacity << " grown to " << c.n;
        EXPECT_EQ(array.GetCount(), c.expectedCount) << c.capacity << " grown to " << c.n;
        if (c.how == kSetOrAdd) {
            EXPECT_EQ(array[c.n], Item(7));
            EXPECT_EQ(array[c.n - 1], nullptr);
        }
        if (c.how == kInit) {
            for (void* p : array)
                EXPECT_EQ(p, nullptr);
        }
    }
}

TEST(ArrayVoidPEdit, InsertKeepsOrderAndRefusesAnIndexPastTheCount)
{
    Recording array(2, 0, 2, false, true);
    EXPECT_TRUE(array.Insert(0, Item(2)));
    EXPECT_TRUE(array.Insert(0, Item(1)));
    EXPECT_TRUE(array.Insert(2, Item(4)));
    EXPECT_TRUE(array.Insert(2, Item(3)));
    EXPECT_FALSE(array.Insert(5, Item(9)));
    EXPECT_EQ(Items(array), (std::vector<uintptr_t>{1, 2, 3, 4}));
}

TEST(ArrayVoidPEdit, DetachDisposesOnlyForAnOwningArrayAndClosesTheGap)
{
    Recording owning(8, 0, 8, true, true);
    Fill(owning, 5);
    EXPECT_TRUE(owning.Detach(2, 100, true));
    EXPECT_EQ(owning.disposed, (std::vector<std::pair<unsigned, unsigned>>{{2, 5}}));
    EXPECT_EQ(Items(owning), (std::vector<uintptr_t>{1, 2}));

    Recording borrowing(8, 0, 8, false, true);
    Fill(borrowing, 5);
    EXPECT_TRUE(borrowing.Detach(1, 3, true));
    EXPECT_TRUE(borrowing.disposed.empty());
    EXPECT_EQ(Items(borrowing), (std::vector<uintptr_t>{1, 4, 5}));
    EXPECT_FALSE(borrowing.Detach(2, 2, true));
    EXPECT_FALSE(borrowing.Detach(3, 10, true));

    Recording kept(8, 0, 8, true, true);
    Fill(kept, 3);
    EXPECT_TRUE(kept.Detach(0, 1, false));
    EXPECT_TRUE(kept.disposed.empty());
    // The vacated slot is empty when the count grows again.
    kept.Init(3);
    EXPECT_EQ(kept[2], nullptr);
}

TEST(ArrayVoidPEdit, SetCountShrinksTheSlotsWhenUnderAQuarterIsUsed)
{
    Recording array(100, 0, 8, true, true);
    Fill(array, 20);
    array.SetCount(1);
    EXPECT_EQ(array.GetCapacity(), 50u);
    EXPECT_EQ(array.disposed, (std::vector<std::pair<unsigned, unsigned>>{{1, 20}}));
    EXPECT_EQ(array[0], Item(1));

    Recording modest(16, 0, 8, true, true);
    Fill(modest, 10);
    modest.SetCount(5);
    EXPECT_EQ(modest.GetCapacity(), 16u);
    EXPECT_EQ(modest.disposed, (std::vector<std::pair<unsigned, unsigned>>{{5, 10}}));
}

TEST(ArrayVoidPEdit, ResizeBelowTheCountDisposesOfWhatNoLongerFits)
{
    Recording array(8, 0, 8, true, true);
    Fill(array, 6);
    array.Resize(4);
    EXPECT_EQ(array.GetCapacity(), 4u);
    EXPECT_EQ(array.GetCount(), 4u);
    EXPECT_EQ(array.disposed, (std::vector<std::pair<unsigned, unsigned>>{{4, 6}}));
    EXPECT_EQ(Items(array), (std::vector<uintptr_t>{1, 2, 3, 4}));
}

TEST(ArrayVoidPFind, FindsTheFirstOccurrenceOrAnswersNotFound)
{
    Recording array(0, 0, 0, false, true);
    Fill(array, 4);
    array.Add(Item(2));
    EXPECT_EQ(array.Find(Item(2)), 1u);
    EXPECT_EQ(array.Find(Item(9)), 0xFFFFFFFFu);
    EXPECT_EQ(Recording(0, 0, 0, false, true).Find(nullptr), 0xFFFFFFFFu);
    // An initial count starts with empty slots.
    Recording counted(2, 5, 4, false, false);
    EXPECT_EQ(counted.GetCount(), 5u);
    EXPECT_EQ(counted.GetCapacity(), 8u);
    EXPECT_EQ(counted.Find(nullptr), 0u);
}

}  // namespace
