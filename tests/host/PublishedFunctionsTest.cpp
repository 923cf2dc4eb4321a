// The formula functions the host publishes: found in their category through the object
// factory, and describing themselves as the formula compiler reads them.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "ICalcNumericParamsFuncClass.h"
#include "ResultCodes.h"
#include "foundation/KVDString.h"
#include "host/calc/HostCalcClasses.h"
#include "host/calc/PublishedFunctions.h"
#include "host/framework/Framework.h"

namespace {

std::string Name(const KVD::String& text)
{
    return KVD::ToU8String(text);
}

// The published functions by name.
std::map<std::string, ICalcNumericParamsFuncClass*> PublishedFunctions()
{
    std::map<std::string, ICalcNumericParamsFuncClass*> functions;
    IEnumClassObjects* objects = nullptr;
    Host::Framework::Instance()->EnumClassObjectsInCategory(&CATID_CALCENUMS, &objects);
    ICAFClassObject* object = nullptr;
    uint32_t delivered = 0;
    while (objects->Next(1, &object, &delivered) == KVD_S_OK) {
        ICalcNumericParamsFuncClass* function = nullptr;
        if (object->QueryInterface(IID_ICalcNumericParamsFuncClass, reinterpret_cast<void**>(&function)) == 0) {
            KVD::String name;
            function->GetFuncInfo(KVD::String::Setter(name), nullptr, nullptr, nullptr, nullptr, nullptr);
            functions[Name(name)] = function;
            function->Release();
        }
        object->Release();
    }
    objects->Release();
    return functions;
}

TCAFId HostTypeId(uint16_t subId)
{
    uint16_t dynId = 0;
    Host::Framework::Instance()->GetDynId(Host::GUID_HostFormulaFunctions, &dynId);
    return (TCAFId(dynId) << 16) | subId;
}

TEST(PublishedFunctions, DecimateSecDescribesItself)
{
    ICalcNumericParamsFuncClass* decimate = PublishedFunctions()["DecimateSec"];
    ASSERT_NE(decimate, nullptr);
    KVD::String name;
    TCAFId typeId = 0;
    long maxArgs = 0;
    long sources = 0;
    CalcNPFuncInfoFlags flags = 1;
    KVDEnumDataType result = 0;
    ASSERT_EQ(decimate->GetFuncInfo(KVD::String::Setter(name), &typeId, &maxArgs, &sources, &flags, &result), 0);
    EXPECT_EQ(typeId, HostTypeId(Host::kDecimateSecSubId));
    EXPECT_EQ(maxArgs, 2);
    EXPECT_EQ(sources, 1);
    EXPECT_EQ(flags, 0u);
    EXPECT_EQ(result, 0x80000000u);

    double upper = 0;
    double lower = 0;
    KVDEnumDataType kind = 1;
    KVD::String parameter;
    ASSERT_EQ(decimate->GetParamInfo(1, &upper, &lower, &kind, KVD::String::Setter(parameter)), 0);
    EXPECT_EQ(upper, 604800);
    EXPECT_EQ(lower, 1e-6);
    EXPECT_EQ(kind, 0u);
    EXPECT_EQ(Name(parameter), "Interval (s)");
    EXPECT_EQ(decimate->GetParamInfo(0, nullptr, nullptr, &kind, nullptr), 0);
    EXPECT_EQ(kind, 0x80000000u);
    EXPECT_EQ(decimate->GetParamInfo(2, &upper, &lower, &kind, nullptr), KVD_E_NULLOUT);
    EXPECT_EQ(decimate->GetParamInfo(-1, nullptr, nullptr, nullptr, nullptr), KVD_E_NULLOUT);

    long aliases = 0;
    decimate->GetNumberOfAliases(&aliases);
    ASSERT_EQ(aliases, 1);
    KVD::String alias;
    EXPECT_EQ(decimate->GetAlias(0, KVD::String::Setter(alias)), 0);
    EXPECT_EQ(Name(alias), "DecimateSecs");
    EXPECT_EQ(decimate->GetAlias(1, KVD::String::Setter(alias)), KVD_E_NULLOUT);
}

// A source takes the data it declares; a number parameter is no source.
TEST(PublishedFunctions, SourcesAcceptTheirDataKinds)
{
    auto functions = PublishedFunctions();
    ICalcNumericParamsFuncClass* decimate = functions["DecimateSec"];
    ICalcNumericParamsFuncClass* interp = functions["EventInterp"];
    ASSERT_TRUE(decimate && interp);
    EXPECT_EQ(decimate->IsValidParamDataType(0, 0x80000000), KVD_S_OK);
    EXPECT_EQ(decimate->IsValidParamDataType(0, 0x40000000), KVD_S_FALSE);
    EXPECT_EQ(decimate->IsValidParamDataType(1, 0x80000000), KVD_E_NULLOUT);
    EXPECT_EQ(interp->IsValidParamDataType(0, 0x40000000), KVD_S_OK);
    EXPECT_EQ(interp->IsValidParamDataType(0, 0x80000000), KVD_S_FALSE);
    TCAFId typeId = 0;
    interp->GetFuncInfo(nullptr, &typeId, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(typeId, HostTypeId(Host::kEventInterpSubId));
}

TEST(PublishedFunctions, OnlyFunctionsWithRequiredSourcesOfferTheExtendedDescription)
{
    ICalcNumericParamsFuncClass* decimate = PublishedFunctions()["DecimateSec"];
    ASSERT_NE(decimate, nullptr);
    void* extended = reinterpret_cast<void*>(1);
    EXPECT_EQ(decimate->QueryInterface(IID_ICalcNumericParamsFuncClassEx, &extended), KVD_E_NOINTERFACE);
    EXPECT_EQ(extended, nullptr);

    static const _IID kGuid = {0x11112222, 3, 4, {5, 6, 7, 8, 9, 10, 11, 12}};
    Host::FormulaFunctionClass some({L"Some", {}, &kGuid, 0, 3, 2, 1, 0, 0x80000000, {}});
    ICalcNumericParamsFuncClassEx* ex = nullptr;
    ASSERT_EQ(some.QueryInterface(IID_ICalcNumericParamsFuncClassEx, reinterpret_cast<void**>(&ex)), KVD_S_OK);
    long sources = 0;
    long required = 0;
    ASSERT_EQ(ex->GetFuncInfoEx(0, nullptr, nullptr, nullptr, &sources, nullptr, &required, nullptr), KVD_S_OK);
    EXPECT_EQ(sources, 2);
    EXPECT_EQ(required, 1);
}

// Every face answers the class object as its identity; the enumerators are answered by the
// object that makes them, and only when the function has one.
TEST(PublishedFunctions, AFunctionAnswersOneIdentityAndItsEnumeratorsOnlyWhenItHasThem)
{
    static const _IID kGuid = {0x11112222, 3, 4, {5, 6, 7, 8, 9, 10, 11, 12}};
    Host::FormulaFunctionClass plain({L"Plain", {}, &kGuid, 0, 1, 1, -1, 0, 0x80000000, {}});
    void* identity = nullptr;
    ASSERT_EQ(static_cast<ICalcNumericParamsFuncClass*>(&plain)->QueryInterface(IID_IUnknown, &identity), KVD_S_OK);
    EXPECT_EQ(identity, static_cast<ICAFClassObject*>(&plain));
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(plain.QueryInterface(IID_ICalcEnumClass2, &out), KVD_E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);

    ICalcEnumClass2* maker = HostCalc::EventInterpClass();
    Host::FormulaFunctionClass running({L"Running", {}, &kGuid, 1, 1, 1, -1, 0, 0x80000000, {}, maker});
    ASSERT_EQ(running.QueryInterface(IID_ICalcEnumClass2, &out), KVD_S_OK);
    EXPECT_EQ(out, maker);
    static_cast<ICalcEnumClass2*>(out)->Release();
}

TEST(PublishedFunctions, PublishingAgainRegistersNothingNew)
{
    uint32_t before = 0;
    Host::Framework::Instance()->GetClassObjectCount(&before);
    Host::PublishFormulaFunctions();
    uint32_t after = 0;
    Host::Framework::Instance()->GetClassObjectCount(&after);
    EXPECT_EQ(after, before);
    EXPECT_EQ(PublishedFunctions().count("DecimateSec"), 1u);
}

}  // namespace
