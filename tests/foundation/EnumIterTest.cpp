// Reading an interface enumerator in batches of eight.
#include <gtest/gtest.h>

#include <vector>

#include "IEnumUnknown.h"
#include "foundation/EnumArray.h"
#include "foundation/EnumIter.h"
#include "ComTestObjects.h"

using namespace ComTest;

namespace {

typedef InterfaceEnum::EnumArray<IEnumUnknown, IUnknown> UnknownEnum;
typedef KVD::EnumIter<IEnumUnknown, 8, true, KVD::EnumXXXTraits> UnknownIter;

// Passes Next on to an inner enumerator and records the counts asked for.
class Spy : public SimpleUnknownImp1<IEnumUnknown, 0l> {
public:
    explicit Spy(IEnumUnknown* inner) : mInner(inner) {}
    HRESULT Next(uint32_t count, IUnknown** out, uint32_t* delivered) override
    {
        asked.push_back(count);
        return mInner->Next(count, out, delivered);
    }
    HRESULT Skip(uint32_t count) override { return mInner->Skip(count); }
    HRESULT Reset() override { return mInner->Reset(); }
    HRESULT Clone(IEnumUnknown** out) override { return mInner->Clone(out); }
    std::vector<uint32_t> asked;

private:
    KVD::COMPtr<IEnumUnknown> mInner;
};

class TwentyItems : public ::testing::Test {
protected:
    void SetUp() override
    {
        InterfaceArray<IUnknown> items;
        for (int i = 0; i < 20; ++i) {
            mObjects.push_back(NewFooBar(&mDeleted, i));
            items.Add(static_cast<ITestFoo*>(mObjects.back()));
        }
        KVD::COMPtr<IEnumUnknown> inner;
        UnknownEnum::Create(items, inner.Set());
        mSpy = new Spy(inner);
        mSpy->AddRef();
    }
    void TearDown() override
    {
        mSpy->Release();
        for (FooBar* object : mObjects)
            object->Release();
        EXPECT_EQ(mDeleted, 20);
    }
    static int ValueOf(IUnknown* item) { return static_cast<ITestFoo*>(item)->Foo(); }

    int mDeleted = 0;
    std::vector<FooBar*> mObjects;
    Spy* mSpy = nullptr;
};

TEST_F(TwentyItems, ReadsEveryItemInBatchesOfEight)
{
    UnknownIter iter(mSpy);
    std::vector<int> values;
    while (IUnknown* item = iter.Next())
        values.push_back(ValueOf(item));
    ASSERT_EQ(values.size(), 20u);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(values[i], i);
    EXPECT_EQ(mSpy->asked, (std::vector<uint32_t>{8, 8, 8, 8}));
    EXPECT_EQ(iter.GetTotal(), 20u);
    EXPECT_EQ(iter.GetResult(), KVD_S_FALSE);
    EXPECT_EQ(iter.Next(), nullptr);
}

TEST_F(TwentyItems, BufferedItemsHoldAReferenceUntilTheNextRefill)
{
    {
        UnknownIter iter(mSpy);
        for (int i = 0; i < 8; ++i)
            iter.Next();
        EXPECT_EQ(RefsOf(mObjects[0]), 3u);  // test, enumerator, buffer
        EXPECT_EQ(RefsOf(mObjects[8]), 2u);
        iter.Next();
        EXPECT_EQ(RefsOf(mObjects[0]), 2u);
        EXPECT_EQ(RefsOf(mObjects[8]), 3u);
    }
    EXPECT_EQ(RefsOf(mObjects[8]), 2u);
}

TEST_F(TwentyItems, AStopFlagEndsTheReadingAtTheNextRefill)
{
    volatile uint16_t stop = 0;
    UnknownIter iter;
    iter.SetStopFlag(&stop);
    {
        UnknownIter::Setter setter(iter);
        mSpy->AddRef();
        *static_cast<IEnumUnknown**>(setter) = mSpy;
    }
    stop = 1;
    int read = 0;
    while (iter.Next() != nullptr)
        ++read;
    EXPECT_EQ(read, 8);
    EXPECT_EQ(mSpy->asked.size(), 1u);
}

TEST(EnumIterEmpty, AnIteratorWithoutEnumeratorIsAtItsEnd)
{
    UnknownIter iter;
    EXPECT_EQ(iter.Next(), nullptr);
    { UnknownIter::Setter nothing(iter); }
    EXPECT_EQ(iter.Next(), nullptr);
    EXPECT_EQ(iter.GetTotal(), 0u);
}

}  // namespace
