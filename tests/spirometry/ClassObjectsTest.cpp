#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <vector>

#include "CalcCategories.h"
#include "HostDoubles.h"
#include "IBinInStream.h"
#include "ICalcEnumClass2.h"
#include "ICalcNumericParamsFuncClass.h"
#include "IChannelCalc.h"
#include "IPersistClassObject.h"
#include "RecordBytes.h"
#include "foundation/COMPtr.h"
#include "foundation/DynamicId.h"
#include "foundation/ClassObjectAccessor.h"
#include "spirometry/SpFlowSettings.h"
#include "spirometry/SpiroIds.h"

using namespace Spirometry;

namespace {

template <class I>
KVD::COMPtr<I> HostClassObject(TCAFId typeId)
{
    KVD::COMPtr<I> cls;
    ObjectFactoryAccessor::Get()->GetClassObject(typeId, IIDOf<I>(), cls.Set());
    return cls;
}

KVD::String NameOf(ICAFClassObject* cls)
{
    KVD::String name;
    cls->GetObjectName(KVD::String::Setter(name));
    return name;
}

// The names of the class objects the host lists in a category, in registration order.
std::vector<KVD::String> NamesInCategory(const _IID& category)
{
    KVD::COMPtr<IEnumClassObjects> all;
    ObjectFactoryAccessor::Get()->EnumClassObjectsInCategory(&category, all.Set());
    std::vector<KVD::String> names;
    ICAFClassObject* cls = nullptr;
    uint32_t got = 0;
    while (all != nullptr && all->Next(1, &cls, &got) == KVD_S_OK && got == 1) {
        names.push_back(NameOf(cls));
        cls->Release();
    }
    return names;
}

// The formula function whose name or alias is given, among the enumerator classes.
KVD::COMPtr<ICalcNumericParamsFuncClass> FormulaFunction(const wchar_t* alias)
{
    KVD::COMPtr<IEnumClassObjects> all;
    ObjectFactoryAccessor::Get()->EnumClassObjectsInCategory(&CATID_CALCENUMS, all.Set());
    ICAFClassObject* cls = nullptr;
    uint32_t got = 0;
    KVD::COMPtr<ICalcNumericParamsFuncClass> found;
    while (found == nullptr && all->Next(1, &cls, &got) == KVD_S_OK && got == 1) {
        KVD::COMPtr<ICalcNumericParamsFuncClass> function(KVD::com_cast(cls));
        long aliases = 0;
        if (function != nullptr && function->GetNumberOfAliases(&aliases) == KVD_S_OK) {
            for (long i = 0; i < aliases; ++i) {
                KVD::String name;
                function->GetAlias(i, KVD::String::Setter(name));
                if (name == alias)
                    found = function;
            }
        }
        cls->Release();
    }
    return found;
}

bool Contains(const std::vector<KVD::String>& names, const wchar_t* name)
{
    return std::find(names.begin(), names.end(), KVD::String(name)) != names.end();
}

}  // namespace

TEST(ClassObjects, CalculationsAndTheirSettingsClassesByCategoryAndTypeId)
{
    SpiroTest::RegisterClassObjects();
    EXPECT_TRUE(Contains(NamesInCategory(CATID_CHANNELCALCULATIONS), L"Spirometry Flow"));
    EXPECT_TRUE(Contains(NamesInCategory(CATID_CHANNELCALCULATIONS), L"Spirometry Volume"));
    EXPECT_TRUE(Contains(NamesInCategory(CATID_CHANNELCALCULATIONSETTINGS), L"Spirometry FlowSettings"));
    EXPECT_TRUE(Contains(NamesInCategory(CATID_CHANNELCALCULATIONSETTINGS), L"Spirometry VolumeSettings"));

    const struct {
        unsigned subId;
        const wchar_t* name;
    } calculations[] = {{kSpFlowCalcSubId, L"Spirometry Flow"}, {kSpVolCalcSubId, L"Spirometry Volume"}};
    for (const auto& c : calculations) {
        const TCAFId id = (TCAFId(DynId::Ask(SpiroCalcGUID)) << 16) | c.subId;
        KVD::COMPtr<ICalculationClass> cls = HostClassObject<ICalculationClass>(id);
        ASSERT_NE(cls, nullptr) << c.subId;
        KVD::String name, description;
        cls->GetName(KVD::String::Setter(name));
        cls->GetDescription(KVD::String::Setter(description));
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(description, c.name);
        long attributes = -1;
        cls->GetAttributes(&attributes);
        EXPECT_EQ(attributes, 0);
        const _IID category = CATID_CHANNELCALCULATIONS;  // compared by value
        EXPECT_EQ(cls->IsInCategoryHR(&category), KVD_S_OK);
        EXPECT_EQ(cls->IsInCategoryHR(&CATID_CHANNELCALCULATIONSETTINGS), KVD_S_FALSE);
        ICalculation* made = reinterpret_cast<ICalculation*>(1);
        EXPECT_EQ(cls->Create(TChannelId{1, 0}, nullptr, &made), KVD_E_BADSTATE);
        EXPECT_EQ(made, nullptr);
    }

    // The settings class makes records with their defaults, and reads them from streams even
    // when the read fails.
    KVD::COMPtr<IPersistClassObject> settings = HostClassObject<IPersistClassObject>(SpFlowSettingsTypeId());
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(NameOf(settings), L"Spirometry FlowSettings");
    KVD::COMPtr<IPersistObject> record;
    ASSERT_EQ(settings->CreateObject(nullptr, IID_IPersistObject, reinterpret_cast<IUnknown**>(&record)), KVD_S_OK);
    TCAFId recordId = 0;
    record->GetObjId(&recordId);
    EXPECT_EQ(recordId, SpFlowSettingsTypeId());
    EXPECT_EQ(dynamic_cast<SpFlowSettings*>(record.get())->mHeadIndex, 3);

    std::stringbuf truncated;
    {
        KVD::BinOStream out(&truncated, 21);
        out << int32_t(3) << uint8_t(1);
    }
    KVD::BinIStream in(&truncated);
    IUnknown* streamed = nullptr;
    EXPECT_EQ(settings->CreateStreamedObject(SpFlowSettingsTypeId(), &in, &streamed), KVD_E_BADSTATE);
    ASSERT_NE(streamed, nullptr);
    streamed->Release();
}

TEST(ClassObjects, FormulaFunctionsWithTheirParameters)
{
    SpiroTest::RegisterClassObjects();
    const struct {
        const wchar_t* alias;
        const wchar_t* name;
        TCAFId typeId;
        long params;
        std::vector<const wchar_t*> names;
        std::vector<std::pair<double, double>> ranges;
    } functions[] = {
        {L"SpFlow", L"SpFlowEnum", SpFlowEnumTypeId(), 5,
         {L"Raw Flow channel", L"Apply drift correction", L"Raw flow channel index", L"Head scale",
          L"Non-linear compensation"},
         {{0, 0}, {0, 1}, {0, 2147483647.0}, {-FLT_MAX, FLT_MAX}, {-FLT_MAX, FLT_MAX}}},
        {L"SpVol", L"SpVolEnum", SpVolEnumTypeId(), 4,
         {L"Spirometry Flow channel", L"Volume correction", L"Dead space", L"Volume ratio"},
         {{0, 0}, {0, 1}, {-FLT_MAX, FLT_MAX}, {-FLT_MAX, FLT_MAX}}},
    };
    for (const auto& f : functions) {
        KVD::COMPtr<ICalcNumericParamsFuncClass> function = FormulaFunction(f.alias);
        ASSERT_NE(function, nullptr) << f.name;
        KVD::String name;
        TCAFId typeId = 0;
        long params = 0, sources = 0, aliases = 0;
        CalcNPFuncInfoFlags flags = 1;
        KVDEnumDataType result = 0;
        function->GetFuncInfo(KVD::String::Setter(name), &typeId, &params, &sources, &flags, &result);
        function->GetNumberOfAliases(&aliases);
        EXPECT_EQ(name, f.name);
        EXPECT_EQ(typeId, f.typeId);
        EXPECT_EQ(params, f.params);
        EXPECT_EQ(sources, 1);
        EXPECT_EQ(flags, 0u);
        EXPECT_EQ(result, kEnumDataSamples);
        EXPECT_EQ(aliases, 1);
        for (long i = 0; i < f.params; ++i) {
            double high = 0, low = 0;
            KVDEnumDataType kind = 0;
            KVD::String param;
            ASSERT_EQ(function->GetParamInfo(i, &high, &low, &kind, KVD::String::Setter(param)), KVD_S_OK);
            EXPECT_EQ(param, f.names[i]);
            EXPECT_EQ(low, f.ranges[i].first);
            EXPECT_EQ(high, f.ranges[i].second);
            EXPECT_EQ(kind, kEnumDataSamples);
        }
        double untouched = 7.0;
        EXPECT_EQ(function->GetParamInfo(f.params, &untouched, nullptr, nullptr, nullptr), KVD_E_NULLOUT);
        EXPECT_EQ(untouched, 7.0);
        EXPECT_EQ(function->IsValidParamDataType(0, kEnumDataSamples), KVD_S_OK);
        EXPECT_EQ(function->IsValidParamDataType(0, kEnumDataEvents), KVD_S_FALSE);
        EXPECT_EQ(function->IsValidParamDataType(1, kEnumDataSamples), KVD_E_NULLOUT);

        KVD::COMPtr<ICalcEnumClass2> cls(KVD::com_cast(function.get()));
        ASSERT_NE(cls, nullptr);
        IAutoKVDString* text = reinterpret_cast<IAutoKVDString*>(1);
        EXPECT_EQ(cls->SettingsDialog(HWND{}, nullptr, nullptr, nullptr, TChannelId{0, 0}, nullptr, &text),
                  KVD_E_NOTIMPL);
        EXPECT_EQ(text, nullptr);
        void* unknown = nullptr;
        EXPECT_EQ(cls->QueryInterface(IID_IRecordData, &unknown), KVD_E_NOINTERFACE);
    }
}

TEST(ClassObjects, RegisteredLastRowFirst)
{
    SpiroTest::RegisterClassObjects();
    const TCAFId order[] = {SpVolEnumTypeId(), SpFlowEnumTypeId(), SpVolSettingsTypeId(),
                            (TCAFId(DynId::Ask(SpiroCalcGUID)) << 16) | kSpVolCalcSubId, SpFlowSettingsTypeId(),
                            SpFlowCalcTypeId()};
    uint32_t count = 0;
    ObjectFactoryAccessor::Get()->GetClassObjectCount(&count);
    std::vector<TCAFId> registered;
    for (uint32_t i = 0; i < count; ++i) {
        KVD::COMPtr<ICAFClassObject> cls;
        ObjectFactoryAccessor::Get()->GetClassObjectAt(i, IID_ICAFClassObject, cls.Set());
        TCAFId id = 0;
        if (cls != nullptr && cls->GetTypeId(&id) == KVD_S_OK &&
            std::find(std::begin(order), std::end(order), id) != std::end(order))
            registered.push_back(id);
    }
    EXPECT_EQ(registered, std::vector<TCAFId>(std::begin(order), std::end(order)));
}
