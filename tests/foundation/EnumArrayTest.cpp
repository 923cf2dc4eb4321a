// The array-backed enumerator: Next, Skip, Reset and Clone with their counts and codes.
#include <gtest/gtest.h>

#include "IEnumIAutoKVDString.h"
#include "IEnumUnknown.h"
#include "IKVDString.h"
#include "foundation/EnumArray.h"
#include "foundation/KVDString.h"
#include "ComTestObjects.h"

using namespace ComTest;

namespace {

typedef InterfaceEnum::EnumArray<IEnumUnknown, IUnknown, KVD::EnumXXXTraits> UnknownEnum;

class ThreeItems : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 3; ++i) {
            mObjects[i] = NewFooBar(&mDeleted, i);
            mItems.Add(static_cast<ITestFoo*>(mObjects[i]));
        }
        ASSERT_EQ(UnknownEnum::Create(mItems, &mEnum), KVD_S_OK);
    }
    void TearDown() override
    {
        EXPECT_EQ(mEnum->Release(), 0u);
        mItems.SetCount(0);
        for (FooBar* object : mObjects)
            EXPECT_EQ(object->Release(), 0u);
        EXPECT_EQ(mDeleted, 3);
    }
    // Releases what Next delivered.
    static void Drop(IUnknown** items, uint32_t n)
    {
        for (uint32_t i = 0; i < n; ++i)
            items[i]->Release();
    }

    int mDeleted = 0;
    FooBar* mObjects[3] = {};
    InterfaceArray<IUnknown> mItems;
    IEnumUnknown* mEnum = nullptr;
};

TEST_F(ThreeItems, NextWithoutACountIsAllowedOnlyForOneItem)
{
    IUnknown* items[5] = {};
    EXPECT_EQ(mEnum->Next(0, items, nullptr), KVD_E_POINTER);
    EXPECT_EQ(mEnum->Next(2, items, nullptr), KVD_E_POINTER);
    EXPECT_EQ(mEnum->Next(1, nullptr, nullptr), KVD_E_POINTER);
    ASSERT_EQ(mEnum->Next(1, items, nullptr), KVD_S_OK);
    EXPECT_EQ(items[0], static_cast<IUnknown*>(static_cast<ITestFoo*>(mObjects[0])));
    EXPECT_EQ(RefsOf(mObjects[0]), 4u);  // test, array, enumerator's copy, caller
    Drop(items, 1);
}

TEST_F(ThreeItems, NextDeliversWhatRemainsAndSaysWhenItFellShort)
{
    IUnknown* items[5] = {};
    uint32_t delivered = 99;
    ASSERT_EQ(mEnum->Next(5, items, &delivered), KVD_S_FALSE);
    EXPECT_EQ(delivered, 3u);
    EXPECT_EQ(static_cast<ITestFoo*>(items[2])->Foo(), 2);
    Drop(items, delivered);
    EXPECT_EQ(mEnum->Next(2, items, &delivered), KVD_S_FALSE);
    EXPECT_EQ(delivered, 0u);
    EXPECT_EQ(mEnum->Next(0, items, &delivered), KVD_S_OK);
    EXPECT_EQ(delivered, 0u);
}

TEST_F(ThreeItems, SkipResetAndCloneMoveTheCursor)
{
    EXPECT_EQ(mEnum->Skip(2), KVD_S_OK);
    IEnumUnknown* clone = nullptr;
    ASSERT_EQ(mEnum->Clone(&clone), KVD_S_OK);
    EXPECT_EQ(mEnum->Skip(5), KVD_S_FALSE);

    IUnknown* item = nullptr;
    ASSERT_EQ(clone->Next(1, &item, nullptr), KVD_S_OK);  // the clone kept the cursor at 2
    EXPECT_EQ(item, static_cast<IUnknown*>(static_cast<ITestFoo*>(mObjects[2])));
    item->Release();
    EXPECT_EQ(clone->Next(1, &item, nullptr), KVD_S_FALSE);

    EXPECT_EQ(mEnum->Reset(), KVD_S_OK);
    ASSERT_EQ(mEnum->Next(1, &item, nullptr), KVD_S_OK);
    EXPECT_EQ(item, static_cast<IUnknown*>(static_cast<ITestFoo*>(mObjects[0])));
    item->Release();
    EXPECT_EQ(RefsOf(mObjects[1]), 4u);  // the clone holds a copy of the items
    EXPECT_EQ(clone->Release(), 0u);
    EXPECT_EQ(RefsOf(mObjects[1]), 3u);
    EXPECT_EQ(mEnum->Clone(nullptr), KVD_E_POINTER);
}

TEST(EnumArrayNullItem, ANullItemStopsTheCallAfterCountingWhatCameBefore)
{
    int deleted = 0;
    InterfaceArray<IUnknown> items;
    FooBar* object = NewFooBar(&deleted);
    items.Add(static_cast<ITestFoo*>(object));
    items.Add(nullptr);
    UnknownEnum* enumerator = new UnknownEnum(items);
    enumerator->AddRef();
    IUnknown* out[2] = {};
    uint32_t delivered = 0;
    EXPECT_EQ(enumerator->Next(2, out, &delivered), KVD_E_POINTER);
    EXPECT_EQ(delivered, 1u);
    out[0]->Release();
    enumerator->Release();
    items.SetCount(0);
    object->Release();
    EXPECT_EQ(deleted, 1);
}

TEST(EnumArrayOfStrings, HandsOutTheStringsInOrderWithAReferenceEach)
{
    KVD::String names[] = {L"alpha", L"beta"};
    InterfaceArray<IAutoKVDString> items;
    for (const KVD::String& name : names)
        items.Add(name.AsIAutoKVDString());
    IEnumIAutoKVDString* enumerator = nullptr;
    ASSERT_EQ((InterfaceEnum::EnumArray<IEnumIAutoKVDString, IAutoKVDString>::Create(items, &enumerator)), KVD_S_OK);
    items.SetCount(0);
    IAutoKVDString* out[3] = {};
    uint32_t delivered = 0;
    EXPECT_EQ(enumerator->Next(3, out, &delivered), KVD_S_FALSE);
    ASSERT_EQ(delivered, 2u);
    KVD::String first(out[0]);
    KVD::String second(out[1]);
    EXPECT_EQ(first, L"alpha");
    EXPECT_EQ(second, L"beta");
    out[0]->Release();
    out[1]->Release();
    EXPECT_EQ(enumerator->Release(), 0u);
}

}  // namespace
