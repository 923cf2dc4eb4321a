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

TEST(ArrayVoidPGrowth, ADoublingArrayGrowsToEightOnTheFirstPushAFixedOneByItsStep)
{
    Recording array(0, 0, 0, false, true);
    EXPECT_EQ(array.GetCapacity(), 0u);
    array.Add(Item(1));
    EXPECT_EQ(array.GetCapacity(), 8u);
    Fill(array, 8);
    EXPECT_EQ(array.GetCapacity(), 16u);
    EXPECT_EQ(array.GetCount(), 9u);

    // By a fixed step without doubling.
    Recording fixed(4, 0, 4, false, false);
    fixed.Init(9);
    EXPECT_EQ(fixed.GetCapacity(), 12u);
    EXPECT_EQ(fixed.GetCount(), 9u);
    Fill(fixed, 3);
    EXPECT_EQ(fixed.GetCapacity(), 12u);
    fixed.Add(Item(4));
    EXPECT_EQ(fixed.GetCapacity(), 16u);
}

TEST(ArrayVoidPGrowth, InitWithDoublingTakesTheLargerOfTwiceTheCapacityAndTheSteps)
{
    Recording array(8, 0, 8, false, true);
    array.Init(30);
    EXPECT_EQ(array.GetCapacity(), 32u);
    array.Init(33);
    EXPECT_EQ(array.GetCapacity(), 64u);
    for (void* p : array)
        EXPECT_EQ(p, nullptr);
}

TEST(ArrayVoidPGrowth, SetOrAddGrowsToReachTheIndex)
{
    Recording fixed(4, 0, 4, false, false);
    fixed.SetOrAdd(10) = Item(7);
    EXPECT_EQ(fixed.GetCapacity(), 14u);
    EXPECT_EQ(fixed.GetCount(), 11u);
    EXPECT_EQ(fixed[10], Item(7));
    EXPECT_EQ(fixed[9], nullptr);

    Recording doubling(8, 0, 8, false, true);
    doubling.SetOrAdd(20) = Item(1);
    EXPECT_EQ(doubling.GetCapacity(), 28u);
    doubling.SetOrAdd(3) = Item(2);
    EXPECT_EQ(doubling.GetCount(), 21u);
    EXPECT_EQ(doubling[3], Item(2));
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
