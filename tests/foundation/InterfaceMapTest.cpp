// Table-driven QueryInterface: plain, chained, aggregated, refused and function entries.
#include <gtest/gtest.h>

#include "foundation/COMPtr.h"
#include "foundation/InterfaceMap.h"
#include "foundation/RefCount.h"
#include "ComTestObjects.h"

using namespace ComTest;

namespace {

void* const kGarbage = reinterpret_cast<void*>(0x1);

// A heap class with two interfaces of its own.
class Base : public KVD::CComObjectRoot, public ITestFoo, public ITestBar {
public:
    explicit Base(int* deleted) : mDeleted(deleted) {}
    ~Base() override { ++*mDeleted; }
    KVD_IMPLEMENT_HEAP_REFCOUNT()
    KVD_IMPLEMENT_QUERYINTERFACE()
    KVD_BEGIN_INTERFACE_MAP(Base)
        KVD_INTERFACE_ENTRY(ITestFoo)
        KVD_INTERFACE_ENTRY(ITestBar)
    KVD_END_INTERFACE_MAP()
    int Foo() override { return 1; }
    int Bar() override { return 2; }

private:
    int* mDeleted;
};

// Adds one interface in front of the base class's map.
class Derived : public Base, public ITestQux {
public:
    using Base::Base;
    uint32_t AddRef() override { return Base::AddRef(); }
    uint32_t Release() override { return Base::Release(); }
    KVD_IMPLEMENT_QUERYINTERFACE()
    KVD_BEGIN_INTERFACE_MAP(Derived)
        KVD_INTERFACE_ENTRY(ITestQux)
        KVD_INTERFACE_ENTRY_CHAIN(Base)
    KVD_END_INTERFACE_MAP()
    int Qux() override { return 3; }
};

// An inner object that answers whatever it is told to; counts how often it was asked.
class Inner : public SimpleUnknownImp3<ITestBar, ITestBaz, ITestQux, 0l> {
public:
    int Bar() override { return 20; }
    int Baz() override { return 30; }
    int Qux() override { return 40; }
};

class Refusing : public SimpleUnknownImp1<ITestFoo, 0l> {
public:
    int Foo() override { return 0; }
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        ++asked;
        return SimpleUnknownImp1<ITestFoo, 0l>::QueryInterface(iid, out);
    }
    int asked = 0;
};

struct FunctionCall {
    void* object = nullptr;
    uintptr_t value = 0;
};
FunctionCall gCall;

// Records its call; answers ITestQux with the false success code and no pointer.
HRESULT AnswerQux(void* object, const _IID& iid, void** out, uintptr_t value)
{
    gCall = {object, value};
    *out = nullptr;
    return iid == IID_ITestQux ? KVD_S_FALSE : KVD_E_NOINTERFACE;
}

// A static object (count 1 for ever) that aggregates inner objects.
class Outer : public ITestFoo {
public:
    KVD_IMPLEMENT_STATIC_REFCOUNT()
    KVD_IMPLEMENT_QUERYINTERFACE()
    KVD_BEGIN_INTERFACE_MAP(Outer)
        KVD_INTERFACE_ENTRY(ITestFoo)
        KVD_INTERFACE_ENTRY_REFUSE(IID_ITestBaz)
        KVD_INTERFACE_ENTRY_AGGREGATE(IID_ITestBar, mNamed)
        KVD_INTERFACE_ENTRY_AGGREGATE_BLIND(mBlind)
        KVD_INTERFACE_ENTRY_AGGREGATE_BLIND(mFallback)
        KVD_INTERFACE_ENTRY_FUNC_BLIND(AnswerQux, 77)
    KVD_END_INTERFACE_MAP()
    int Foo() override { return 10; }

    IUnknown* mNamed = nullptr;
    IUnknown* mBlind = nullptr;
    IUnknown* mFallback = nullptr;
};

TEST(InterfaceMap, MappedInterfacesAreAnsweredWithAReferenceOthersRefused)
{
    int deleted = 0;
    Base* object = new Base(&deleted);
    object->AddRef();
    EXPECT_EQ(object->QueryInterface(IID_ITestFoo, nullptr), KVD_E_POINTER);
    EXPECT_EQ(RefsOf(static_cast<ITestFoo*>(object)), 1u);
    void* out = kGarbage;
    EXPECT_EQ(object->QueryInterface(IID_ITestBaz, &out), KVD_E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    ASSERT_EQ(object->QueryInterface(IID_ITestFoo, &out), KVD_S_OK);
    EXPECT_EQ(out, static_cast<ITestFoo*>(object));
    EXPECT_EQ(static_cast<ITestFoo*>(out)->Foo(), 1);
    ASSERT_EQ(object->QueryInterface(IID_ITestBar, &out), KVD_S_OK);
    EXPECT_EQ(out, static_cast<ITestBar*>(object));
    EXPECT_EQ(static_cast<ITestBar*>(out)->Bar(), 2);
    EXPECT_EQ(RefsOf(static_cast<ITestFoo*>(object)), 3u);
    object->Release();
    object->Release();
    object->Release();
    EXPECT_EQ(deleted, 1);
}

TEST(InterfaceMap, IUnknownIsTheFirstEntryFromEverySubObject)
{
    int deleted = 0;
    Derived* object = new Derived(&deleted);
    KVD::COMPtr<ITestQux> holder(object);
    IUnknown* const identity = static_cast<ITestQux*>(object);
    for (IUnknown* entry : {static_cast<IUnknown*>(static_cast<ITestFoo*>(object)),
                            static_cast<IUnknown*>(static_cast<ITestBar*>(object)), identity}) {
        void* out = nullptr;
        ASSERT_EQ(entry->QueryInterface(IID_IUnknown, &out), KVD_S_OK);
        EXPECT_EQ(out, identity);
        static_cast<IUnknown*>(out)->Release();
    }
    EXPECT_EQ(RefsOf(identity), 1u);
}

TEST(InterfaceMap, AChainedMapAnswersTheBaseClassesInterfacesAtTheirAddresses)
{
    int deleted = 0;
    Derived* object = new Derived(&deleted);
    KVD::COMPtr<ITestQux> qux(object);
    KVD::COMPtr<ITestFoo> foo(KVD::com_cast(qux.get()));
    KVD::COMPtr<ITestBar> bar(KVD::com_cast(qux.get()));
    KVD::COMPtr<ITestBaz> baz(KVD::com_cast(qux.get()));
    EXPECT_EQ(foo.get(), static_cast<ITestFoo*>(object));
    EXPECT_EQ(bar.get(), static_cast<ITestBar*>(object));
    EXPECT_EQ(bar->Bar(), 2);
    EXPECT_EQ(baz.get(), nullptr);
    EXPECT_EQ(RefsOf(qux), 3u);
    qux.Clear();
    foo.Clear();
    bar.Clear();
    EXPECT_EQ(deleted, 1);
}

class Aggregation : public ::testing::Test {
protected:
    void SetUp() override
    {
        mInner = new Inner;
        mInner->AddRef();
        mRefusing = new Refusing;
        mRefusing->AddRef();
    }
    void TearDown() override
    {
        mInner->Release();
        mRefusing->Release();
    }
    IUnknown* InnerUnknown() { return static_cast<ITestBar*>(mInner); }
    IUnknown* RefusingUnknown() { return static_cast<ITestFoo*>(mRefusing); }

    Outer mOuter;
    Inner* mInner = nullptr;
    Refusing* mRefusing = nullptr;
};

TEST_F(Aggregation, TheWalkOverInnerObjectsAndFunctions)
{
    IUnknown* const inner = InnerUnknown();
    IUnknown* const refusing = RefusingUnknown();
    void* const identity = static_cast<ITestFoo*>(&mOuter);
    const struct {
        IUnknown *named, *blind, *fallback;
        const _IID* iid;
        HRESULT code;
        void* out;
        int refusingAsked;
    } cases[] = {
        {inner, nullptr, nullptr, &IID_ITestBar, KVD_S_OK, static_cast<ITestBar*>(mInner), 0},
        // A refused identifier is refused even when an inner object knows it.
        {nullptr, inner, nullptr, &IID_ITestBaz, KVD_E_NOINTERFACE, nullptr, 0},
        // A blind inner object that refuses lets the walk go on; a named one ends it.
        {nullptr, refusing, inner, &IID_ITestQux, KVD_S_OK, static_cast<ITestQux*>(mInner), 1},
        {refusing, nullptr, inner, &IID_ITestBar, KVD_E_NOINTERFACE, nullptr, 1},
        // An empty inner pointer is passed over.
        {nullptr, nullptr, inner, &IID_ITestBar, KVD_S_OK, static_cast<ITestBar*>(mInner), 0},
        // The outer object is its own identity.
        {nullptr, inner, nullptr, &IID_IUnknown, KVD_S_OK, identity, 0},
    };
    for (const auto& c : cases) {
        mOuter.mNamed = c.named;
        mOuter.mBlind = c.blind;
        mOuter.mFallback = c.fallback;
        mRefusing->asked = 0;
        void* out = kGarbage;
        EXPECT_EQ(mOuter.QueryInterface(*c.iid, &out), c.code);
        EXPECT_EQ(out, c.out);
        EXPECT_EQ(mRefusing->asked, c.refusingAsked);
        const bool fromInner = out != nullptr && out != identity;
        EXPECT_EQ(RefsOf(inner), fromInner ? 2u : 1u);  // an answer carries a reference
        if (fromInner)
            static_cast<IUnknown*>(out)->Release();
    }

    // A function entry gets the object and its value, and ends the walk on success.
    mOuter.mNamed = mOuter.mBlind = mOuter.mFallback = nullptr;
    gCall = {};
    void* out = kGarbage;
    EXPECT_EQ(mOuter.QueryInterface(IID_ITestQux, &out), KVD_S_FALSE);
    EXPECT_EQ(gCall.object, static_cast<void*>(&mOuter));
    EXPECT_EQ(gCall.value, 77u);
    EXPECT_EQ(out, nullptr);
}

// A delegate that fails yet writes a pointer must not leave it to the caller.
HRESULT FailAndWrite(void*, const _IID&, void** out, uintptr_t)
{
    *out = kGarbage;
    return KVD_E_BADSTATE;
}

TEST(InterfaceMapWalk, AFailedDelegateNeverLeavesAPointerBehind)
{
    const MacATLCOM::MapItem map[] = {
        MacATLCOM::MapItem::Interface(ComTest::IID_ITestFoo, 0),
        MacATLCOM::MapItem::Function(nullptr, FailAndWrite, 0),
        MacATLCOM::MapItem::Function(&ComTest::IID_ITestBar, FailAndWrite, 0),
        MacATLCOM::MapItem::End(),
    };
    int object = 0;
    void* out = nullptr;
    EXPECT_EQ(MacATLCOM::QueryInterfaceUsingMap(&object, map, ComTest::IID_ITestBaz, &out), KVD_E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(MacATLCOM::QueryInterfaceUsingMap(&object, map, ComTest::IID_ITestBar, &out), KVD_E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
}

TEST(InterfaceMapWalk, AnEmptyMapAnswersNothingNotEvenIUnknown)
{
    const MacATLCOM::MapItem map[] = {MacATLCOM::MapItem::End()};
    int object = 0;
    void* out = kGarbage;
    EXPECT_EQ(MacATLCOM::QueryInterfaceUsingMap(&object, map, IID_IUnknown, &out), KVD_E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
}

// References taken and dropped while the object is being destroyed must not destroy it again.
class SelfReferencing : public KVD::CComObjectRoot, public ITestFoo {
public:
    explicit SelfReferencing(int* deleted) : mDeleted(deleted) {}
    ~SelfReferencing() override
    {
        AddRef();
        Release();
        ++*mDeleted;
    }
    KVD_IMPLEMENT_HEAP_REFCOUNT()
    KVD_IMPLEMENT_QUERYINTERFACE()
    KVD_BEGIN_INTERFACE_MAP(SelfReferencing)
        KVD_INTERFACE_ENTRY(ITestFoo)
    KVD_END_INTERFACE_MAP()
    int Foo() override { return 0; }

private:
    int* mDeleted;
};

TEST(HeapRefCount, TheLastReleaseDeletesOnceEvenWhenDestructionTakesReferences)
{
    int deleted = 0;
    SelfReferencing* object = new SelfReferencing(&deleted);
    EXPECT_EQ(object->AddRef(), 1u);
    EXPECT_EQ(object->AddRef(), 2u);
    EXPECT_EQ(object->Release(), 1u);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(deleted, 1);
}

TEST(StaticRefCount, AStaticObjectAnswersOneAndLivesOn)
{
    Outer outer;
    EXPECT_EQ(outer.AddRef(), 1u);
    EXPECT_EQ(outer.Release(), 1u);
    EXPECT_EQ(outer.Release(), 1u);
    EXPECT_EQ(outer.Foo(), 10);
}

}  // namespace
