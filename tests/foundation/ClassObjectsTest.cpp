// Host entry lookup, cached class objects and dynamic ids, against a scripted host entry.
#include <gtest/gtest.h>

#include "IFramework.h"
#include "ResultCodes.h"
#include "foundation/CAFClassObject.h"
#include "foundation/DynamicId.h"
#include "foundation/HostEntry.h"
#include "host/framework/Framework.h"

namespace {

// Ids and class ids of our own, so that these caches are not shared with other tests.
constexpr _IID kFakeClsid = {0x11111111, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr _IID kAbsentClsid = {0x22222222, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr _IID kGroupA = {0x33333333, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};

// A dynamic-id factory that gives every GUID 0x0123 and counts the questions.
struct ScriptedIds : IDynamicIdFactory {
    int asked = 0;
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT QueryInterface(const _IID&, void**) override { return KVD_E_NOINTERFACE; }
    HRESULT GetDynId(const _IID&, uint16_t* id) override
    {
        ++asked;
        *id = 0x0123;
        return KVD_S_OK;
    }
    HRESULT GetGuid(uint16_t, _IID*) override { return KVD_S_FALSE; }
};

ScriptedIds gIds;
int gEntryCalls = 0;

HRESULT ScriptedEntry(const _IID& clsid, const _IID& iid, void** out)
{
    ++gEntryCalls;
    if (clsid == kFakeClsid && iid == IID_IDynamicIdFactory) {
        *out = static_cast<IDynamicIdFactory*>(&gIds);
        return KVD_S_OK;
    }
    return KVD_E_BADSTATE;  // and nothing in out
}

class ScriptedHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        gEntryCalls = 0;
        gIds.asked = 0;
        KVD::OverrideHostEntry(ScriptedEntry);
    }
    void TearDown() override { KVD::OverrideHostEntry(nullptr); }
};

using FakeIds = COMClassObjectAccessor<IDynamicIdFactory, &kFakeClsid>;
using AbsentIds = COMClassObjectAccessor<IDynamicIdFactory, &kAbsentClsid>;

TEST_F(ScriptedHost, AccessorAsksOnceAndCachesABorrowedPointer)
{
    EXPECT_EQ(FakeIds::Get(), &gIds);
    EXPECT_EQ(FakeIds::Get(), &gIds);
    EXPECT_LE(gEntryCalls, 1);  // 0 when an earlier test already filled it
}

TEST_F(ScriptedHost, AccessorOfAServiceTheHostRefusesAsksAgain)
{
    EXPECT_EQ(AbsentIds::Get(), nullptr);
    EXPECT_EQ(AbsentIds::Get(), nullptr);
    EXPECT_EQ(gEntryCalls, 2);
}

TEST_F(ScriptedHost, GetClassObjectReportsAMissingObjectAsFailure)
{
    void* out = &gEntryCalls;  // whatever the caller left there is not taken for an answer
    EXPECT_NE(KVD::GetClassObject(kAbsentClsid, IID_IObjectFactory, &out), KVD_S_OK);
    EXPECT_EQ(out, nullptr);
}

TEST(HostEntry, WithoutAHostNothingIsCalledAndTheCallFails)
{
    KVD::OverrideHostEntry([](const _IID&, const _IID&, void**) -> HRESULT { return KVD_E_BADSTATE; });
    void* out = nullptr;
    EXPECT_EQ(KVD::GetClassObject(kAbsentClsid, IID_IObjectFactory, &out), KVD_E_BADSTATE);
    EXPECT_EQ(out, nullptr);
    KVD::OverrideHostEntry(nullptr);
}

TEST(HostEntry, FindsTheEntryThatThisProgramExports)
{
    void* out = nullptr;
    ASSERT_EQ(KVD::GetClassObject(CLSID_CAFFrameWork, IID_IObjectFactory, &out), KVD_S_OK);
    EXPECT_EQ(out, static_cast<IObjectFactory*>(Host::Framework::Instance()));
}

// Composes (dynamic id << 16) | index from the ids the real host stand-in gives.
TEST(DynamicIds, IdsComposeTheHostsDynamicIdWithTheIndex)
{
    const uint16_t dyn = CachedDynamicId<&kGroupA>::GetDynId();
    EXPECT_GE(dyn, 0x0100);
    EXPECT_EQ((TypeIdClass<&kGroupA, 9u>::GetId()), (TCAFId(dyn) << 16) | 9u);
    EXPECT_EQ((EventIdClass<&kGroupA, 47u>::GetId()), (TCAFId(dyn) << 16) | 47u);
    EXPECT_EQ((CmdIdClass<&kGroupA, 47u>::GetId()), (EventIdClass<&kGroupA, 47u>::GetId()));
    EXPECT_EQ(DynId::GetGuid(dyn), kGroupA);
    EXPECT_EQ(StaticTypeIdClass<0x80000007u>::GetId(), 0x80000007u);
}

}  // namespace

namespace {

// Class objects made on the heap after start-up link into the list too; RegisterAll
// registers the list from the newest to the oldest.
struct Recorded : ICAFClassObject, CAFClassObject {
    explicit Recorded(TCAFId id) : mId(id) {}
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        *out = (iid == IID_IUnknown || iid == IID_ICAFClassObject) ? static_cast<ICAFClassObject*>(this) : nullptr;
        return *out ? KVD_S_OK : KVD_E_NOINTERFACE;
    }
    HRESULT GetTypeId(TCAFId* out) override { return *out = mId, KVD_S_OK; }
    HRESULT GetCategory(const _IID** out) override { return *out = nullptr, KVD_S_OK; }
    HRESULT GetObjectName(IAutoKVDString**) override { return KVD_E_NOTIMPL; }
    HRESULT IsInCategoryHR(const _IID*) override { return KVD_S_FALSE; }
    IUnknown* GetInterface() override { return static_cast<ICAFClassObject*>(this); }
    TCAFId mId;
};

uint32_t IndexOf(TCAFId id)
{
    IObjectFactory* factory = Host::Framework::Instance();
    uint32_t count = 0;
    factory->GetClassObjectCount(&count);
    for (uint32_t i = 0; i < count; ++i) {
        ICAFClassObject* object = nullptr;
        factory->GetClassObjectAt(i, IID_ICAFClassObject, reinterpret_cast<void**>(&object));
        TCAFId found = 0;
        object->GetTypeId(&found);
        object->Release();
        if (found == id)
            return i;
    }
    return UINT32_MAX;
}

TEST(ClassObjectList, RegisterAllRegistersTheNewestFirst)
{
    static Recorded a(0x7100000A), b(0x7100000B), c(0x7100000C);
    CAFClassObject::RegisterAll();
    const uint32_t ia = IndexOf(a.mId), ib = IndexOf(b.mId), ic = IndexOf(c.mId);
    ASSERT_NE(ia, UINT32_MAX);
    EXPECT_LT(ic, ib);
    EXPECT_LT(ib, ia);
}

}  // namespace
