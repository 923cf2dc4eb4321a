// Interface arrays hold one reference per item and release what they remove.
#include <gtest/gtest.h>

#include "foundation/InterfaceArray.h"
#include "foundation/SortedInterfaceArray.h"
#include "ComTestObjects.h"

using namespace ComTest;

namespace {

class Items : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 20; ++i)
            mObjects.push_back(NewFooBar(&mDeleted, i));
    }
    void TearDown() override
    {
        for (FooBar* object : mObjects)
            object->Release();
        EXPECT_EQ(mDeleted, 20);
    }
    ITestFoo* Foo(int i) { return mObjects[i]; }
    uint32_t Refs(int i) { return RefsOf(mObjects[i]); }

    int mDeleted = 0;
    std::vector<FooBar*> mObjects;
};

TEST_F(Items, AddAndAnAddedOutParameterTakeAReferenceAndDestructionReleasesIt)
{
    {
        InterfaceArray<ITestFoo> array;
        array.Add(Foo(0));
        array.push_back(Foo(1));
        array.Add(nullptr);
        array.Add(Foo(0));
        EXPECT_EQ(array.GetCount(), 4u);
        EXPECT_EQ(Refs(0), 3u);
        EXPECT_EQ(array[1]->Foo(), 1);
        EXPECT_EQ(array[2], nullptr);
    }
    EXPECT_EQ(Refs(0), 1u);
    EXPECT_EQ(Refs(1), 1u);
    {
        InterfaceArray<ITestFoo> array;
        HandOut(Foo(3), array.Add());  // an appended empty slot serves as an out-parameter
        EXPECT_EQ(array[0], Foo(3));
        EXPECT_EQ(Refs(3), 2u);
    }
    EXPECT_EQ(Refs(3), 1u);
}

TEST_F(Items, SetItemSwapsReferencesAndIgnoresIndexesPastTheCount)
{
    InterfaceArray<ITestFoo> array;
    array.Add(Foo(0));
    array.SetItem(0, Foo(1));
    EXPECT_EQ(Refs(0), 1u);
    EXPECT_EQ(Refs(1), 2u);
    array.SetItem(0, Foo(1));
    EXPECT_EQ(Refs(1), 2u);
    array.SetItem(1, Foo(2));
    EXPECT_EQ(Refs(2), 1u);
    EXPECT_EQ(array.GetCount(), 1u);
}

TEST_F(Items, DetachReleasesOrHandsOverAndClosesTheGap)
{
    InterfaceArray<ITestFoo> array;
    for (int i = 0; i < 3; ++i)
        array.Add(Foo(i));
    array.Detach(1);
    EXPECT_EQ(Refs(1), 1u);
    ASSERT_EQ(array.GetCount(), 2u);
    EXPECT_EQ(array[1], Foo(2));
    array.Detach(5);
    EXPECT_EQ(array.GetCount(), 2u);

    // A range removed with disposal releases; without, it hands the references over.
    for (int i = 3; i < 6; ++i)
        array.Add(Foo(i));
    EXPECT_TRUE(array.Detach(3, 100, true));
    EXPECT_EQ(Refs(4), 1u);
    EXPECT_EQ(Refs(5), 1u);
    EXPECT_TRUE(array.Detach(0, 1, false));
    EXPECT_EQ(Refs(0), 2u);  // now the caller's
    Foo(0)->Release();
    ASSERT_EQ(array.GetCount(), 2u);
    EXPECT_EQ(array[0], Foo(2));
}

TEST_F(Items, ShrinkingTheCountReleasesTheItemsPastIt)
{
    InterfaceArray<ITestFoo> array(100, 8);
    for (int i = 0; i < 20; ++i)
        array.Add(Foo(i));
    array.SetCount(1);
    EXPECT_EQ(array.GetCapacity(), 50u);
    EXPECT_EQ(Refs(0), 2u);
    for (int i = 1; i < 20; ++i)
        EXPECT_EQ(Refs(i), 1u) << i;
}

TEST_F(Items, ACopyHoldsReferencesOfItsOwnAndGrowsByDoubling)
{
    InterfaceArray<ITestFoo> array(6, 2, false);
    for (int i = 0; i < 3; ++i)
        array.Add(Foo(i));
    array.Add(nullptr);
    {
        IUnknownArray copy(array);
        EXPECT_EQ(copy.GetCapacity(), 6u);
        EXPECT_EQ(copy.GetCount(), 4u);
        EXPECT_EQ(copy.GetGrowBy(), 8u);
        EXPECT_EQ(Refs(2), 3u);
        EXPECT_EQ(copy.GetUnknown(3), nullptr);
        for (int i = 4; i < 7; ++i)
            copy.Add(nullptr);
        EXPECT_EQ(copy.GetCapacity(), 12u);
    }
    EXPECT_EQ(Refs(2), 2u);
}

// Items ordered by their value; an item is its own key.
struct ByValue {
    bool operator()(ITestFoo* a, ITestFoo* b) const { return a->Foo() < b->Foo(); }
    bool operator()(int key, ITestFoo* b) const { return key < b->Foo(); }
    bool operator()(ITestFoo* a, int key) const { return a->Foo() < key; }
};
struct SameObject {
    bool operator()(ITestFoo* a, ITestFoo* b) const { return a == b; }
    bool operator()(ITestFoo* a, int key) const { return a->Foo() == key; }
};

TEST_F(Items, ASortedArrayInsertsInOrderAndReplacesWhatEqualCalls)
{
    SortedInterfaceArray<ITestFoo, ByValue, SameObject> array;
    EXPECT_EQ(array.SetItem(Foo(5)), 0u);
    EXPECT_EQ(array.SetItem(Foo(2)), 0u);
    EXPECT_EQ(array.SetItem(Foo(9)), 2u);
    EXPECT_EQ(array.SetItem(Foo(5)), 1u);  // the same object: replaced in place
    EXPECT_EQ(array.GetCount(), 3u);
    EXPECT_EQ(Refs(5), 2u);
    EXPECT_EQ(array.SetItem(nullptr), CArrayVoidP::kNotFound);

    // Another object of the same value is not equal: it goes after its peers.
    int deleted = 0;
    FooBar* twin = NewFooBar(&deleted, 5);
    EXPECT_EQ(array.SetItem(twin), 2u);
    EXPECT_EQ(array[1], Foo(5));
    EXPECT_EQ(array[2], static_cast<ITestFoo*>(twin));
    EXPECT_EQ(array.Find(5), 1u);
    EXPECT_EQ(array.Find(9), 3u);
    EXPECT_EQ(array.Find(7), CArrayVoidP::kNotFound);
    array.SetCount(0);
    twin->Release();
    EXPECT_EQ(deleted, 1);
}

}  // namespace
