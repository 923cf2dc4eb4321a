// The small reference-counting bases.
#include <gtest/gtest.h>

#include "foundation/UnknownImp.h"
#include "ComTestObjects.h"

using namespace ComTest;

namespace {

void* const kGarbage = reinterpret_cast<void*>(0x1);

class OneFace : public SimpleUnknownImp1<ITestFoo, 0l> {
public:
    explicit OneFace(int* deleted) : mDeleted(deleted) {}
    ~OneFace() override { ++*mDeleted; }
    int Foo() override { return 5; }

private:
    int* mDeleted;
};

TEST(SimpleUnknownImp1, CountsFromZeroAnswersItsInterfaceOnlyAndTheLastReleaseDeletes)
{
    int deleted = 0;
    OneFace* object = new OneFace(&deleted);
    EXPECT_EQ(object->AddRef(), 1u);
    void* out = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IUnknown, &out), KVD_S_OK);
    EXPECT_EQ(out, static_cast<ITestFoo*>(object));
    ASSERT_EQ(object->QueryInterface(IID_ITestFoo, &out), KVD_S_OK);
    EXPECT_EQ(out, static_cast<ITestFoo*>(object));
    out = kGarbage;
    EXPECT_EQ(object->QueryInterface(IID_ITestBar, &out), KVD_E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(object->QueryInterface(IID_ITestFoo, nullptr), KVD_E_POINTER);
    EXPECT_EQ(object->Release(), 2u);
    EXPECT_EQ(object->Release(), 1u);
    EXPECT_EQ(deleted, 0);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(deleted, 1);
}

// An interface over a base interface, as IPersistStreamInit over IPersist.
struct ITestQuxEx : ITestQux {
    virtual int QuxEx() = 0;
};
// 0B4C6B0E-4B0B-4C5A-9E43-6A2F1B9D7C11
inline constexpr _IID IID_ITestQuxEx = {0x0B4C6B0E, 0x4B0B, 0x4C5A, {0x9E, 0x43, 0x6A, 0x2F, 0x1B, 0x9D, 0x7C, 0x11}};

}  // namespace

KVD_INTERFACE_ID(ITestQuxEx, IID_ITestQuxEx);

namespace {

class Layered : public SimpleUnknownImp1_1<ITestQuxEx, ITestQux, 0l> {
public:
    int Qux() override { return 1; }
    int QuxEx() override { return 2; }
};

TEST(SimpleUnknownImp1_1, AlsoAnswersTheBaseInterface)
{
    Layered* object = new Layered;
    void* out = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_ITestQux, &out), KVD_S_OK);
    EXPECT_EQ(static_cast<ITestQux*>(out)->Qux(), 1);
    ASSERT_EQ(object->QueryInterface(IID_ITestQuxEx, &out), KVD_S_OK);
    EXPECT_EQ(static_cast<ITestQuxEx*>(out)->QuxEx(), 2);
    EXPECT_EQ(object->QueryInterface(IID_ITestFoo, &out), KVD_E_NOINTERFACE);
    EXPECT_EQ(object->QueryInterface(IID_ITestQux, nullptr), KVD_E_POINTER);
    EXPECT_EQ(object->Release(), 1u);
    EXPECT_EQ(object->Release(), 0u);
}

class ThreeFaces : public SimpleUnknownImp3<ITestFoo, ITestBar, ITestBaz, 1l> {
public:
    int Foo() override { return 1; }
    int Bar() override { return 2; }
    int Baz() override { return 3; }
};

TEST(SimpleUnknownImp3, EachInterfaceIsItsOwnSubObjectAndIUnknownTheFirst)
{
    ThreeFaces* object = new ThreeFaces;
    object->AddRef();
    ITestBaz* baz = object;
    void* out = nullptr;
    ASSERT_EQ(baz->QueryInterface(IID_IUnknown, &out), KVD_S_OK);
    EXPECT_EQ(out, static_cast<ITestFoo*>(object));
    ASSERT_EQ(baz->QueryInterface(IID_ITestBar, &out), KVD_S_OK);
    EXPECT_EQ(out, static_cast<ITestBar*>(object));
    EXPECT_NE(out, static_cast<void*>(static_cast<ITestFoo*>(object)));
    EXPECT_EQ(static_cast<ITestBar*>(out)->Bar(), 2);
    ASSERT_EQ(static_cast<ITestBar*>(out)->QueryInterface(IID_ITestBaz, &out), KVD_S_OK);
    EXPECT_EQ(static_cast<ITestBaz*>(out)->Baz(), 3);
    EXPECT_EQ(RefsOf(baz), 4u);
    for (int i = 0; i < 3; ++i)
        baz->Release();
    EXPECT_EQ(baz->Release(), 0u);
}

// A class that answers QueryInterface itself and gets its count from UnknownImp1.
class Answering : public ITestFoo {
public:
    Answering(int* deleted, int value) : mDeleted(deleted), mValue(value) {}
    virtual ~Answering() { ++*mDeleted; }
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        *out = iid == IID_ITestFoo ? static_cast<ITestFoo*>(this) : nullptr;
        if (*out == nullptr)
            return KVD_E_NOINTERFACE;
        AddRef();
        return KVD_S_OK;
    }
    int Foo() override { return mValue; }

private:
    int* mDeleted;
    int mValue;
};

TEST(UnknownImp1, GivesAClassACountAndDeletesItAtZero)
{
    int deleted = 0;
    auto* object = new KVD::UnknownImp1<Answering, 0l>(&deleted, 9);
    void* out = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_ITestFoo, &out), KVD_S_OK);
    EXPECT_EQ(static_cast<ITestFoo*>(out)->Foo(), 9);
    EXPECT_EQ(object->AddRef(), 2u);
    EXPECT_EQ(object->Release(), 1u);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(deleted, 1);
}

}  // namespace
