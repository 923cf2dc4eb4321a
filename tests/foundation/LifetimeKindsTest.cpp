// The three lifetime kinds of IUnknown, the smart pointer's take and forget, and the debug
// checks that catch a release below zero and a use after the last release.
#include <gtest/gtest.h>

#include <new>

#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"
#include "ComTestObjects.h"

using namespace ComTest;

namespace {

class Counted : public KVD::CountedUnknown<ITestFoo, ITestBar> {
public:
    explicit Counted(int* deleted = nullptr) : mDeleted(deleted) {}
    ~Counted() override
    {
        if (mDeleted != nullptr)
            ++*mDeleted;
    }
    int Foo() override { return 1; }
    int Bar() override { return 2; }

private:
    int* mDeleted;
};

TEST(CountedUnknown, IsBornAtTheBirthCountAndMakeCountedTakesTheFirstReference)
{
    static_assert(KVD::kBirthCount == 0, "makers take the first reference");
    int deleted = 0;
    {
        KVD::COMPtr<Counted> object = KVD::MakeCounted<Counted>(&deleted);
        EXPECT_EQ(RefsOf(static_cast<ITestFoo*>(object.get())), 1u);
    }
    EXPECT_EQ(deleted, 1);
}

// Identity first, the rest by identifier, and an interface's base answered through Answers.
struct ITestQuxEx : ITestQux {
    virtual int QuxEx() = 0;
};
// 5E0F6B1D-2C8A-4F3E-9B7D-1A4C6E8F0B23
inline constexpr _IID IID_ITestQuxEx = {0x5E0F6B1D, 0x2C8A, 0x4F3E, {0x9B, 0x7D, 0x1A, 0x4C, 0x6E, 0x8F, 0x0B, 0x23}};

}  // namespace

KVD_INTERFACE_ID(ITestQuxEx, IID_ITestQuxEx);

namespace {

class StaticObject : public KVD::StaticUnknown<ITestFoo, KVD::Answers<ITestQuxEx, ITestQux>> {
public:
    int Foo() override { return 1; }
    int Qux() override { return 3; }
    int QuxEx() override { return 4; }
};

TEST(RefCount, ACountHeldByItsMakerStartsOneAboveTheBirthCount)
{
    KVD::RefCount held{KVD::RefCount::HeldByMaker{}};
    EXPECT_EQ(held.Get(), KVD::kBirthCount + 1);
    EXPECT_EQ(held.Decrement(), 0u);
}

TEST(StaticUnknown, AnswersOneAndItsListedInterfacesWithoutCounting)
{
    StaticObject object;
    EXPECT_EQ(object.AddRef(), 1u);
    EXPECT_EQ(object.Release(), 1u);
    EXPECT_EQ(object.Release(), 1u);  // never below anything: nothing is counted
    struct Case {
        const _IID* iid;
        void* expected;
        HRESULT hr;
    } cases[] = {
        {&IID_IUnknown, static_cast<ITestFoo*>(&object), KVD_S_OK},
        {&IID_ITestFoo, static_cast<ITestFoo*>(&object), KVD_S_OK},
        {&IID_ITestQux, static_cast<ITestQuxEx*>(&object), KVD_S_OK},
        {&IID_ITestQuxEx, static_cast<ITestQuxEx*>(&object), KVD_S_OK},
        {&IID_ITestBar, nullptr, KVD_E_NOINTERFACE},
    };
    ITestQuxEx* secondary = &object;
    for (const Case& c : cases) {
        void* out = reinterpret_cast<void*>(0x1);
        EXPECT_EQ(secondary->QueryInterface(*c.iid, &out), c.hr);
        EXPECT_EQ(out, c.expected);
    }
    EXPECT_EQ(object.QueryInterface(IID_ITestFoo, nullptr), KVD_E_POINTER);
}

// A face added by a derived class is answered through QueryMore.
class WithMore : public StaticObject, public ITestBar {
public:
    int Bar() override { return 2; }
    uint32_t AddRef() override { return StaticObject::AddRef(); }
    uint32_t Release() override { return StaticObject::Release(); }
    HRESULT QueryInterface(const _IID& iid, void** out) override { return StaticObject::QueryInterface(iid, out); }

protected:
    HRESULT QueryMore(const _IID& iid, void** out) override { return KVD::AnswerFace<ITestBar>(this, iid, out); }
};

TEST(StaticUnknown, QueryMoreAnswersWhatTheListDoesNotName)
{
    WithMore object;
    void* out = nullptr;
    ASSERT_EQ(static_cast<ITestFoo*>(&object)->QueryInterface(IID_ITestBar, &out), KVD_S_OK);
    EXPECT_EQ(static_cast<ITestBar*>(out)->Bar(), 2);
    EXPECT_EQ(object.QueryInterface(IID_ITestBaz, &out), KVD_E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
}

class Part : public KVD::AggregatedUnknown<ITestBar> {
public:
    Part(IUnknown* outer, int* deleted) : AggregatedUnknown(outer), mDeleted(deleted) {}
    ~Part() override { ++*mDeleted; }
    int Bar() override { return 7; }

private:
    int* mDeleted;
};

TEST(AggregatedUnknown, InterfacesAnswerThroughTheOuterObjectWhichOwnsTheInnerUnknown)
{
    int deleted = 0;
    int outerDeleted = 0;
    KVD::COMPtr<Counted> outer = KVD::MakeCounted<Counted>(&outerDeleted);
    auto* part = new Part(static_cast<ITestFoo*>(outer.get()), &deleted);
    KVD::COMPtr<IUnknown> inner = KVD::COMPtr<IUnknown>::Take(part->TakeInner());
    EXPECT_EQ(part->Outer(), static_cast<ITestFoo*>(outer.get()));
    // The part's own interface counts on the outer object, which the test holds once.
    EXPECT_EQ(RefsOf(static_cast<ITestBar*>(part)), 1u);
    void* out = nullptr;
    ASSERT_EQ(inner->QueryInterface(IID_ITestBar, &out), KVD_S_OK);
    EXPECT_EQ(static_cast<ITestBar*>(out)->Bar(), 7);
    static_cast<ITestBar*>(out)->Release();
    inner.Clear();
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(outerDeleted, 0);
}

TEST(AggregatedUnknown, StandsAloneWithoutAnOuterObject)
{
    int deleted = 0;
    auto* part = new Part(nullptr, &deleted);
    KVD::COMPtr<ITestBar> bar = KVD::COMPtr<ITestBar>::Take(static_cast<ITestBar*>(part));
    part->TakeInner();  // the reference bar adopted
    EXPECT_EQ(RefsOf(bar), 1u);
    bar.Clear();
    EXPECT_EQ(deleted, 1);
}

TEST(COMPtr, TakeAdoptsWithoutAddRefAndForgetHandsOverWithoutRelease)
{
    int deleted = 0;
    auto* object = new Counted(&deleted);
    object->AddRef();
    ITestFoo* handedOut = nullptr;
    {
        auto taken = KVD::COMPtr<ITestFoo>::Take(object);
        EXPECT_EQ(RefsOf(taken), 1u);
        handedOut = taken.Forget();
        EXPECT_EQ(taken.get(), nullptr);
    }
    EXPECT_EQ(deleted, 0);
    EXPECT_EQ(handedOut->Release(), 0u);
    EXPECT_EQ(deleted, 1);
}

TEST(COMPtr, GiveOutHandsTheCallerAReferenceOfItsOwnAndNullAsNull)
{
    KVD::COMPtr<Counted> owner = KVD::MakeCounted<Counted>();
    ITestFoo* out = nullptr;
    KVD::GiveOut(static_cast<ITestFoo*>(owner.get()), &out);
    ASSERT_EQ(out, static_cast<ITestFoo*>(owner.get()));
    EXPECT_EQ(out->Release(), 1u);
    ITestFoo* none = static_cast<ITestFoo*>(owner.get());
    KVD::GiveOut(static_cast<ITestFoo*>(nullptr), &none);
    EXPECT_EQ(none, nullptr);
}

TEST(COMPtr, AWeakTakeGivesBackTheDeliveredReference)
{
    KVD::COMPtr<Counted> owner = KVD::MakeCounted<Counted>();
    owner->AddRef();  // as a query would have delivered it
    auto weak = KVD::COMPtr<Counted, KVD::COMWeak>::Take(owner.get());
    EXPECT_EQ(RefsOf(static_cast<ITestFoo*>(weak.get())), 1u);
}

#ifndef NDEBUG

using RefCountDeathTest = ::testing::Test;

TEST_F(RefCountDeathTest, AReleaseBelowZeroEndsTheProcess)
{
    KVD::RefCount count;
    EXPECT_DEATH(count.Decrement(), "Release below zero");
}

TEST_F(RefCountDeathTest, AnObjectReleasedWithoutAReferenceIsCaught)
{
    auto* object = new Counted;
    EXPECT_DEATH(static_cast<ITestFoo*>(object)->Release(), "Release below zero");
    delete object;
}

// The storage outlives the count, so the check, not the allocator, sees the use.
TEST_F(RefCountDeathTest, AUseAfterTheLastReleaseEndsTheProcess)
{
    alignas(KVD::RefCount) unsigned char storage[sizeof(KVD::RefCount)];
    auto* count = new (storage) KVD::RefCount;
    count->Increment();
    ASSERT_EQ(count->Decrement(), 0u);
    count->~RefCount();
    EXPECT_DEATH(count->Increment(), "after the last Release");
    EXPECT_DEATH(count->Decrement(), "after the last Release");
}

#endif

}  // namespace
