// Interfaces and counted objects shared by the COM-support and container tests.
#pragma once

#include <string>
#include <vector>

#include "IUnknown.h"
#include "ResultCodes.h"
#include "foundation/UnknownImp.h"

namespace ComTest {

// 113A78EE-B836-4D20-8C0C-BC386D78F057
inline constexpr _IID IID_ITestFoo = {0x113A78EE, 0xB836, 0x4D20, {0x8C, 0x0C, 0xBC, 0x38, 0x6D, 0x78, 0xF0, 0x57}};
// 9DFAB110-53CA-47E2-B18C-E3D8901EB2D9
inline constexpr _IID IID_ITestBar = {0x9DFAB110, 0x53CA, 0x47E2, {0xB1, 0x8C, 0xE3, 0xD8, 0x90, 0x1E, 0xB2, 0xD9}};
// 2F739F66-3ABA-41EA-819B-B5225E58FA99
inline constexpr _IID IID_ITestBaz = {0x2F739F66, 0x3ABA, 0x41EA, {0x81, 0x9B, 0xB5, 0x22, 0x5E, 0x58, 0xFA, 0x99}};
// 8F3224F6-2279-4193-A1E5-15DB82DAABE3
inline constexpr _IID IID_ITestQux = {0x8F3224F6, 0x2279, 0x4193, {0xA1, 0xE5, 0x15, 0xDB, 0x82, 0xDA, 0xAB, 0xE3}};
// AFD1FF3A-5511-45BC-BFC8-EFCAD574E5C8
inline constexpr _IID IID_ITestStream = {0xAFD1FF3A, 0x5511, 0x45BC, {0xBF, 0xC8, 0xEF, 0xCA, 0xD5, 0x74, 0xE5, 0xC8}};

struct ITestFoo : IUnknown {
    virtual int Foo() = 0;
};
struct ITestBar : IUnknown {
    virtual int Bar() = 0;
};
struct ITestBaz : IUnknown {
    virtual int Baz() = 0;
};
struct ITestQux : IUnknown {
    virtual int Qux() = 0;
};

// A stream whose Clone hands back its base interface, as sample streams do.
struct ITestStreamBase : IUnknown {
    virtual HRESULT Clone(ITestStreamBase** out) = 0;
};
struct ITestStream : ITestStreamBase {
    virtual int Position() = 0;
    virtual void Advance() = 0;
};

}  // namespace ComTest

KVD_INTERFACE_ID(ComTest::ITestFoo, ComTest::IID_ITestFoo);
KVD_INTERFACE_ID(ComTest::ITestBar, ComTest::IID_ITestBar);
KVD_INTERFACE_ID(ComTest::ITestBaz, ComTest::IID_ITestBaz);
KVD_INTERFACE_ID(ComTest::ITestQux, ComTest::IID_ITestQux);
KVD_INTERFACE_ID(ComTest::ITestStream, ComTest::IID_ITestStream);

namespace ComTest {

// The count of a live object, read through one AddRef and one Release.
inline uint32_t RefsOf(IUnknown* p)
{
    p->AddRef();
    return p->Release();
}

// Hands an object back through an out-parameter with a reference, as a callee does.
template <class T, class Out>
HRESULT HandOut(T* object, Out** out)
{
    object->AddRef();
    *out = object;
    return KVD_S_OK;
}

// A heap object answering ITestFoo (its value) and ITestBar; counts its deletions.
class FooBar : public SimpleUnknownImp2<ITestFoo, ITestBar, 0l> {
public:
    explicit FooBar(int* deleted, int value = 0) : mDeleted(deleted), mValue(value) {}
    ~FooBar() override { ++*mDeleted; }
    int Foo() override { return mValue; }
    int Bar() override { return -mValue; }

private:
    int* mDeleted;
    int mValue;
};

inline uint32_t RefsOf(FooBar* p) { return RefsOf(static_cast<ITestFoo*>(p)); }

// A FooBar made with one reference for the caller.
inline FooBar* NewFooBar(int* deleted, int value = 0)
{
    FooBar* object = new FooBar(deleted, value);
    object->AddRef();
    return object;
}

// Writes "+name" and "-name" to a log on AddRef and Release, to check their order.
class Logged : public SimpleUnknownImp1<ITestFoo, 0l> {
public:
    Logged(std::vector<std::string>* log, std::string name) : mLog(log), mName(std::move(name)) {}
    uint32_t AddRef() override { mLog->push_back("+" + mName); return SimpleUnknownImp1<ITestFoo, 0l>::AddRef(); }
    uint32_t Release() override { mLog->push_back("-" + mName); return SimpleUnknownImp1<ITestFoo, 0l>::Release(); }
    int Foo() override { return 0; }

private:
    std::vector<std::string>* mLog;
    std::string mName;
};

// A stream at a position; its clones start where it is.
class Stream : public SimpleUnknownImp1<ITestStream, 0l> {
public:
    explicit Stream(int* deleted, int position = 0) : mDeleted(deleted), mPosition(position) {}
    ~Stream() override { ++*mDeleted; }
    HRESULT Clone(ITestStreamBase** out) override
    {
        Stream* clone = new Stream(mDeleted, mPosition);
        clone->AddRef();
        *out = clone;
        return KVD_S_OK;
    }
    int Position() override { return mPosition; }
    void Advance() override { ++mPosition; }

private:
    int* mDeleted;
    int mPosition;
};

}  // namespace ComTest
