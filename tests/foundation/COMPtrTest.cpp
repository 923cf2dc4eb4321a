// Reference counts under COMPtr copies, moves, assignments, casts and resets, per policy.
#include <gtest/gtest.h>

#include "ComTestObjects.h"
#include "IEnumFloatEx.h"
#include "IRecordData.h"
#include "foundation/COMPtr.h"

using namespace ComTest;
using KVD::COMPtr;

namespace {

typedef COMPtr<ITestFoo, KVD::COMRefCount> FooPtr;
typedef COMPtr<ITestFoo, KVD::COMWeak> WeakFooPtr;
typedef COMPtr<ITestStream, KVD::COMCloneEnumEx> StreamPtr;

class Counting : public ::testing::Test {
protected:
    // A new object whose only reference is the test's.
    FooBar* Make(int value = 0) { return NewFooBar(&mDeleted, value); }
    int mDeleted = 0;
};

TEST_F(Counting, CopiesTakeAReferenceAndMovesTakeNone)
{
    FooBar* object = Make();
    {
        FooPtr a(static_cast<ITestFoo*>(object));
        EXPECT_EQ(RefsOf(a), 2u);
        FooPtr b(a);
        EXPECT_EQ(RefsOf(a), 3u);
        FooPtr c(std::move(b));
        EXPECT_EQ(b.get(), nullptr);
        EXPECT_EQ(RefsOf(a), 3u);
        FooPtr d;
        d = std::move(c);
        EXPECT_EQ(c.get(), nullptr);
        EXPECT_EQ(RefsOf(a), 3u);
        d = a;
        EXPECT_EQ(RefsOf(a), 3u);
        COMPtr<IUnknown> widened(a);
        EXPECT_EQ(RefsOf(a), 4u);
    }
    EXPECT_EQ(RefsOf(static_cast<ITestFoo*>(object)), 1u);
    object->Release();
    EXPECT_EQ(mDeleted, 1);
}

TEST_F(Counting, SelfAssignmentKeepsReferenceSwapsAndClearReleasesOnce)
{
    FooBar* first = Make(1);
    FooBar* second = Make(2);
    FooPtr a(static_cast<ITestFoo*>(first));
    first->Release();
    a = a.get();
    a = a;
    EXPECT_EQ(mDeleted, 0);
    EXPECT_EQ(RefsOf(a), 1u);
    a.Reference(second);  // takes the new pointer, drops the old
    EXPECT_EQ(mDeleted, 1);
    EXPECT_EQ(RefsOf(a), 2u);
    EXPECT_EQ(a->Foo(), 2);
    second->Release();
    a.Clear();
    EXPECT_EQ(a.get(), nullptr);
    EXPECT_EQ(mDeleted, 2);
    a.Clear();
    EXPECT_EQ(mDeleted, 2);
}

TEST_F(Counting, ComCastHoldsTheQueriedReferenceOrNothing)
{
    FooBar* object = Make(4);
    ITestFoo* foo = object;
    {
        COMPtr<ITestBar> bar(KVD::com_cast(foo));
        ASSERT_NE(bar.get(), nullptr);
        EXPECT_EQ(bar->Bar(), -4);
        EXPECT_EQ(RefsOf(foo), 2u);
        COMPtr<ITestBaz> baz(KVD::com_cast(foo));
        EXPECT_EQ(baz.get(), nullptr);
        baz = KVD::com_cast(static_cast<ITestFoo*>(nullptr));
        EXPECT_EQ(baz.get(), nullptr);
        bar = KVD::com_cast(FooPtr(foo));  // the old bar reference is dropped
        EXPECT_EQ(RefsOf(foo), 2u);
    }
    EXPECT_EQ(RefsOf(foo), 1u);
    foo->Release();
}

TEST_F(Counting, GetOutHandsTheCallerAReferenceOfItsOwn)
{
    FooBar* object = Make();
    FooPtr a(static_cast<ITestFoo*>(object));
    ITestFoo* out = nullptr;
    a.GetOut(&out);
    EXPECT_EQ(out, static_cast<ITestFoo*>(object));
    EXPECT_EQ(RefsOf(a), 3u);
    out->Release();
    IUnknown* unknown = reinterpret_cast<IUnknown*>(0x1);
    FooPtr().GetOut(&unknown);
    EXPECT_EQ(unknown, nullptr);
    object->Release();
}

TEST_F(Counting, SettersAdoptWhatCameBack)
{
    FooBar* object = Make();
    FooPtr a;
    HandOut<ITestFoo, ITestFoo>(object, a.Set());
    EXPECT_EQ(a.get(), static_cast<ITestFoo*>(object));
    EXPECT_EQ(RefsOf(object), 2u);
    COMPtr<ITestBar> bar;
    HandOut<ITestFoo, IUnknown>(object, bar.SetQuery());
    EXPECT_EQ(bar.get(), static_cast<ITestBar*>(object));
    EXPECT_EQ(RefsOf(object), 3u);
    WeakFooPtr weak;
    HandOut<ITestFoo, ITestFoo>(object, weak.Set());
    EXPECT_EQ(weak.get(), static_cast<ITestFoo*>(object));
    EXPECT_EQ(RefsOf(object), 3u);
    object->Release();
}

TEST_F(Counting, WeakPointersHoldNoReference)
{
    FooBar* object = Make();
    {
        WeakFooPtr weak(static_cast<ITestFoo*>(object));
        WeakFooPtr copy(weak);
        EXPECT_EQ(RefsOf(object), 1u);
        COMPtr<ITestBar, KVD::COMWeak> bar(KVD::com_cast(copy.get()));
        EXPECT_EQ(bar.get(), static_cast<ITestBar*>(object));
        EXPECT_EQ(RefsOf(object), 1u);
        ITestFoo* out = nullptr;
        weak.GetOut(&out);
        EXPECT_EQ(RefsOf(object), 2u);
        out->Release();
        weak.Clear();
        EXPECT_EQ(RefsOf(object), 1u);
    }
    EXPECT_EQ(mDeleted, 0);
    object->Release();
    EXPECT_EQ(mDeleted, 1);
}

TEST(COMPtrOrder, AssignmentTakesTheNewReferenceBeforeDroppingTheOld)
{
    std::vector<std::string> log;
    FooPtr holder(new Logged(&log, "a"));
    FooPtr other(new Logged(&log, "b"));
    log.clear();
    holder = other;
    EXPECT_EQ(log, (std::vector<std::string>{"+b", "-a"}));
}

// The holder's member is null before the old pointee is released, so code that runs during
// that release sees an empty pointer.
class Watching : public SimpleUnknownImp1<ITestFoo, 0l> {
public:
    explicit Watching(FooPtr* holder) : mHolder(holder) {}
    ~Watching() override { seenWhileDying = mHolder->get(); }
    int Foo() override { return 0; }
    static inline ITestFoo* seenWhileDying = reinterpret_cast<ITestFoo*>(0x1);

private:
    FooPtr* mHolder;
};

TEST(COMPtrOrder, ClearNullsTheMemberBeforeReleasing)
{
    FooPtr holder;
    holder = new Watching(&holder);
    holder.Clear();
    EXPECT_EQ(Watching::seenWhileDying, nullptr);
}

TEST(COMCloneEnumEx, CopiesCloneTheStreamSoThatEachAdvancesAlone)
{
    int deleted = 0;
    {
        StreamPtr original(new Stream(&deleted, 5));
        StreamPtr copy(original);
        ASSERT_NE(copy.get(), nullptr);
        EXPECT_NE(copy.get(), original.get());
        EXPECT_EQ(copy->Position(), 5);
        copy->Advance();
        EXPECT_EQ(original->Position(), 5);
        EXPECT_EQ(RefsOf(original), 1u);
        EXPECT_EQ(RefsOf(copy), 1u);
        StreamPtr assigned;
        assigned = copy;
        EXPECT_NE(assigned.get(), copy.get());
        EXPECT_EQ(assigned->Position(), 6);
        StreamPtr empty;
        StreamPtr emptyCopy(empty);
        EXPECT_EQ(emptyCopy.get(), nullptr);
        StreamPtr moved(std::move(original));
        EXPECT_EQ(deleted, 0);
    }
    EXPECT_EQ(deleted, 3);
}

}  // namespace
