// The object factory and the dynamic-id factory of the host stand-in.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "IFramework.h"
#include "ResultCodes.h"
#include "foundation/CAFClassObject.h"
#include "host/framework/Framework.h"
#include "support/probe/ProbeClassObject.h"

namespace {

constexpr _IID kCatA = {0xAAAA0001, 1, 1, {0, 0, 0, 0, 0, 0, 0, 1}};
constexpr _IID kCatB = {0xAAAA0002, 1, 1, {0, 0, 0, 0, 0, 0, 0, 2}};

// A heap class object in one category, counting its references; it can create instances.
class TestClass : public ICAFClassObject, public ICAFObjectCreator {
public:
    TestClass(TCAFId id, const _IID* category) : mId(id), mCategory(category) {}
    uint32_t AddRef() override { return ++refs; }
    uint32_t Release() override { return --refs; }
    HRESULT QueryInterface(const _IID& iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_ICAFClassObject)
            *out = static_cast<ICAFClassObject*>(this);
        else if (iid == IID_ICAFObjectCreator && mCategory == &kCatA)
            *out = static_cast<ICAFObjectCreator*>(this);
        else
            return *out = nullptr, KVD_E_NOINTERFACE;
        AddRef();
        return KVD_S_OK;
    }
    HRESULT GetTypeId(TCAFId* out) override { return *out = mId, KVD_S_OK; }
    HRESULT GetCategory(const _IID** out) override { return *out = mCategory, KVD_S_OK; }
    HRESULT GetObjectName(IAutoKVDString**) override { return KVD_E_NOTIMPL; }
    HRESULT IsInCategoryHR(const _IID* c) override { return c != nullptr && *c == *mCategory ? KVD_S_OK : KVD_S_FALSE; }
    // Creates "an instance": itself, standing for any object of the class.
    HRESULT CreateInstance(IUnknown*, const _IID& iid, void** out) override
    {
        ++created;
        return QueryInterface(iid, out);
    }
    int refs = 0;
    int created = 0;

private:
    TCAFId mId;
    const _IID* mCategory;
};

IObjectFactory* Factory() { return Host::Framework::Instance(); }

std::vector<TCAFId> TypeIdsIn(const _IID* category)
{
    IEnumClassObjects* e = nullptr;
    EXPECT_EQ(Factory()->EnumClassObjectsInCategory(category, &e), KVD_S_OK);
    std::vector<TCAFId> ids;
    ICAFClassObject* object = nullptr;
    uint32_t got = 0;
    while (e->Next(1, &object, &got) == KVD_S_OK) {
        TCAFId id = 0;
        object->GetTypeId(&id);
        ids.push_back(id);
        object->Release();
    }
    EXPECT_EQ(got, 0u);
    e->Release();
    return ids;
}

TEST(ObjectFactory, FindsClassObjectsByTypeIdAndByCategoryInRegistrationOrder)
{
    TestClass a1(0x60000001, &kCatA), b1(0x60000002, &kCatB), a2(0x60000003, &kCatA);
    for (TestClass* c : {&a2, &b1, &a1})
        ASSERT_EQ(Factory()->RegisterClassObject(static_cast<ICAFClassObject*>(c)), KVD_S_OK);
    EXPECT_EQ(a1.refs, 1);  // the factory keeps one reference

    ICAFClassObject* found = nullptr;
    ASSERT_EQ(Factory()->GetClassObject(0x60000002, IID_ICAFClassObject, reinterpret_cast<void**>(&found)), KVD_S_OK);
    EXPECT_EQ(found, static_cast<ICAFClassObject*>(&b1));
    found->Release();
    EXPECT_EQ(TypeIdsIn(&kCatA), (std::vector<TCAFId>{0x60000003, 0x60000001}));
    EXPECT_EQ(TypeIdsIn(&kCatB), (std::vector<TCAFId>{0x60000002}));

    void* none = &found;
    EXPECT_NE(Factory()->GetClassObject(0x6FFFFFFF, IID_ICAFClassObject, &none), KVD_S_OK);
    EXPECT_EQ(none, nullptr);

    for (TCAFId id : {0x60000001u, 0x60000002u, 0x60000003u})
        EXPECT_EQ(Factory()->RevokeClassObject(id), KVD_S_OK);
    EXPECT_EQ(Factory()->RevokeClassObject(0x60000001), KVD_S_FALSE);
    EXPECT_EQ(a1.refs + b1.refs + a2.refs, 0);
}

TEST(ObjectFactory, ALaterRegistrationUnderTheSameTypeIdReplacesTheEarlier)
{
    TestClass first(0x60000010, &kCatB), second(0x60000010, &kCatB);
    Factory()->RegisterClassObject(static_cast<ICAFClassObject*>(&first));
    Factory()->RegisterClassObject(static_cast<ICAFClassObject*>(&second));
    EXPECT_EQ(first.refs, 0);
    EXPECT_EQ(second.refs, 1);
    Factory()->RevokeClassObject(0x60000010);
}

TEST(ObjectFactory, CreatesObjectsThroughTheirClassAndRefusesClassesThatCannot)
{
    TestClass creatable(0x60000020, &kCatA), plain(0x60000021, &kCatB);
    Factory()->RegisterClassObject(static_cast<ICAFClassObject*>(&creatable));
    Factory()->RegisterClassObject(static_cast<ICAFClassObject*>(&plain));
    IUnknown* made = nullptr;
    EXPECT_EQ(Factory()->CreateObject(0x60000020, nullptr, IID_IUnknown, reinterpret_cast<void**>(&made)), KVD_S_OK);
    EXPECT_EQ(creatable.created, 1);
    made->Release();
    EXPECT_EQ(Factory()->CreateObject(0x60000021, nullptr, IID_IUnknown, reinterpret_cast<void**>(&made)),
              KVD_E_NOINTERFACE);
    EXPECT_EQ(made, nullptr);
    EXPECT_EQ(Factory()->CreateObject(0x6000002F, nullptr, IID_IUnknown, reinterpret_cast<void**>(&made)),
              KVD_E_BADSTATE);
    Factory()->RevokeClassObject(0x60000020);
    Factory()->RevokeClassObject(0x60000021);
}

TEST(ObjectFactory, RefusesWhatIsNotAClassObject)
{
    struct NotAClass : IUnknown {
        uint32_t AddRef() override { return 1; }
        uint32_t Release() override { return 1; }
        HRESULT QueryInterface(const _IID&, void** out) override { return *out = nullptr, KVD_E_NOINTERFACE; }
    } notAClass;
    EXPECT_EQ(Factory()->RegisterClassObject(&notAClass), KVD_E_NOINTERFACE);
    EXPECT_EQ(Factory()->RegisterClassObject(nullptr), KVD_E_POINTER);
}

TEST(DynamicIdFactory, IdsAreStableDistinctAndInRange)
{
    IDynamicIdFactory* ids = Host::Framework::Instance();
    std::set<uint16_t> seen;
    for (uint32_t n = 0; n < 200; ++n) {
        const _IID guid = {0xD0000000 + n, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
        uint16_t first = 0, again = 0;
        ASSERT_EQ(ids->GetDynId(guid, &first), KVD_S_OK);
        ASSERT_EQ(ids->GetDynId(guid, &again), KVD_S_OK);
        EXPECT_EQ(first, again);
        EXPECT_GE(first, 0x0100);
        EXPECT_LT(first, 0x8000);
        EXPECT_TRUE(seen.insert(first).second);
        _IID back{};
        ASSERT_EQ(ids->GetGuid(first, &back), KVD_S_OK);
        EXPECT_EQ(back, guid);
    }
    _IID unknown{};
    EXPECT_EQ(ids->GetGuid(0x0001, &unknown), KVD_S_FALSE);
    EXPECT_EQ(ids->GetDynId(IID_IUnknown, nullptr), KVD_E_POINTER);
}

// The probe lives in a static library that nothing refers to: it reaches the host only because
// our libraries are linked whole.
TEST(StaticRegistration, AClassObjectFromAStaticLibraryReachesTheHost)
{
    CAFClassObject::RegisterAll();
    ICAFClassObject* probe = nullptr;
    ASSERT_EQ(Factory()->GetClassObject(Probe::kProbeTypeId, IID_ICAFClassObject, reinterpret_cast<void**>(&probe)),
              KVD_S_OK);
    probe->Release();
}

}  // namespace

#include <sstream>

#include "appkit/Alert.h"
#include "host/framework/HostAlertPolicy.h"

namespace {

TEST(AlertPolicy, AnswersWithTheScriptThenTheFirstButton)
{
    Host::InstallAlertPolicy({"No", "Maybe"});
    AppKit::Alert alert;
    alert.messageText = "Replace the report?";
    alert.AddButton("Yes");
    alert.AddButton("No");
    testing::internal::CaptureStderr();
    EXPECT_EQ(alert.RunModal(), AppKit::Alert::kFirstButton + 1);
    EXPECT_EQ(alert.RunModal(), AppKit::Alert::kFirstButton);  // "Maybe" is no button: the first
    EXPECT_EQ(alert.RunModal(), AppKit::Alert::kFirstButton);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("alert: Replace the report? -> No\n"), std::string::npos) << log;
    AppKit::AlertPresenter::Shared().SetResponder(nullptr);
}

// Where a command's outputs take standard error, the alerts are told where it says instead.
TEST(AlertPolicy, TellsTheAlertsWhereItIsGiven)
{
    std::ostringstream told;
    Host::InstallAlertPolicy({}, told);
    AppKit::Alert alert;
    alert.messageText = "Volume corrected";
    alert.informativeText = "by 2 %";
    alert.AddButton("OK");
    testing::internal::CaptureStderr();
    EXPECT_EQ(alert.RunModal(), AppKit::Alert::kFirstButton);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(told.str(), "alert: Volume corrected (by 2 %) -> OK\n");
    AppKit::AlertPresenter::Shared().SetResponder(nullptr);
}

}  // namespace
