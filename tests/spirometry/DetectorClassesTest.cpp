// What the breath detectors' class objects tell the host and the formula compiler, and how a
// detector reads the settings text the compiler writes for it.

#include <gtest/gtest.h>

#include <cfloat>
#include <vector>

#include "BreathSignals.h"
#include "CalcCategories.h"
#include "DetectorClasses.h"
#include "ResultCodes.h"
#include "spirometry/SpiroIds.h"

namespace {

using namespace SpiroTest;

struct Param {
    const wchar_t* name;
    double low, high;
    KVDEnumDataType type;
};

struct Row {
    ICalcEnumClass2* cls;
    const wchar_t* name;
    const wchar_t* description;
    std::vector<const wchar_t*> aliases;
    long sources;
    std::vector<Param> params;
};

constexpr KVDEnumDataType S = 0x80000000, E = 0x40000000;

const Row kRows[] = {
    {&gBreathEventClass, L"SpBreathEventEnum3", L"Finds Spirometry Flow Events", {L"SpBreathEvent", L"SpBreathEventEx"}, 2,
     {{L"Flow Source", 0, 0, S}, {L"Vol Source", 0, 0, S}, {L"mHeight", 0, DBL_MAX, S}}},
    {&gFlowEventClass, L"SPEventEnumFlow", L"Finds Spirometry Flow Events", {L"SPEEFlow"}, 1,
     {{L"Source", 0, 0, S}, {L"Height", 0, DBL_MAX, S}}},
    {&gVolEventClass, L"SPEventEnumVol", L"Calculates Spirometry Volume Events", {L"SPEEVol"}, 2,
     {{L"Volume Source", 0, 0, S}, {L"Flow Event Source", 0, 0, E}}},
    {&gTidalVolumeClass, L"SpTidalVolume", L"Measures tidal volume from a respiratory flow signal.", {L"SpTidVol"}, 1,
     {{L"Tick Source", 0, 0, S}, {L"Height", 0, DBL_MAX, S}}},
    {&gExpiratoryTidalVolumeClass, L"SpTidalVolumeExpiratory",
     L"Measures tidal volume from a expiratory-only respiratory flow signal.", {L"SpTidVolExp"}, 2,
     {{L"Tick Source", 0, 0, S}, {L"Event Source", 0, 0, E}}},
};

KVD::String Text(IAutoKVDString* text) { return KVD::String(text); }

TEST(DetectorClasses, DescribeTheirFormulaFunctions)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(testing::Message() << (&row - kRows));
        KVD::String name, description;
        row.cls->GetName(KVD::String::Setter(name));
        row.cls->GetDescription(KVD::String::Setter(description));
        EXPECT_EQ(name, KVD::String(row.name));
        EXPECT_EQ(description, KVD::String(row.description));
        EXPECT_EQ(row.cls->IsInCategoryHR(&CATID_CALCENUMS), KVD_S_OK);

        KVD::COMPtr<ICalcNumericParamsFuncClass> func;
        ASSERT_EQ(row.cls->QueryInterface(IID_ICalcNumericParamsFuncClass, func.Set()), KVD_S_OK);
        KVD::String funcName;
        TCAFId id = 0, classId = 0;
        long params = 0, sources = 0;
        CalcNPFuncInfoFlags flags = 0;
        KVDEnumDataType result = 0;
        func->GetFuncInfo(KVD::String::Setter(funcName), &id, &params, &sources, &flags, &result);
        row.cls->GetTypeId(&classId);
        EXPECT_EQ(funcName, name);
        EXPECT_EQ(id, classId);
        EXPECT_EQ(params, static_cast<long>(row.params.size()));
        EXPECT_EQ(sources, row.sources);
        EXPECT_EQ(flags, 0xA0000000u);
        EXPECT_EQ(result, E);

        long aliases = 0;
        func->GetNumberOfAliases(&aliases);
        ASSERT_EQ(aliases, static_cast<long>(row.aliases.size()));
        for (long i = 0; i < aliases; ++i) {
            KVD::String alias;
            func->GetAlias(i, KVD::String::Setter(alias));
            EXPECT_EQ(alias, KVD::String(row.aliases[i]));
        }
        for (size_t i = 0; i < row.params.size(); ++i) {
            double high = -1, low = -1;
            KVDEnumDataType type = 0;
            KVD::String paramName;
            ASSERT_EQ(func->GetParamInfo(static_cast<long>(i), &high, &low, &type, KVD::String::Setter(paramName)), KVD_S_OK);
            EXPECT_EQ(paramName, KVD::String(row.params[i].name));
            EXPECT_EQ(low, row.params[i].low);
            EXPECT_EQ(high, row.params[i].high);
            EXPECT_EQ(type, row.params[i].type);
        }
        EXPECT_EQ(func->GetParamInfo(static_cast<long>(row.params.size()), nullptr, nullptr, nullptr, nullptr),
                  KVD_E_NULLOUT);
        // Sources take their own kind of data only; a number parameter is no source.
        for (long i = 0; i < row.sources; ++i) {
            const KVDEnumDataType own = row.params[i].type, other = own == S ? E : S;
            EXPECT_EQ(func->IsValidParamDataType(i, own), KVD_S_OK) << i;
            EXPECT_EQ(func->IsValidParamDataType(i, other), KVD_S_FALSE) << i;
        }
        EXPECT_EQ(func->IsValidParamDataType(row.sources, S), KVD_E_NULLOUT);
    }
}

TEST(DetectorClasses, SettingsAreReadByTabSeparatedFields)
{
    // A quoted channel name with a blank in the argument text must not shift the level.
    Streams streams;
    auto* detector = new EEH3::EEH3Enumerator<Spirometry::SpFlowEnumerator, 8>(nullptr, nullptr);
    BlockUpdateType update = 0;
    detector->SetSettings(KVD::String(L"(\"flow head\",0.25)\t0\t0.25").AsIAutoKVDString(), &update);
    EXPECT_EQ(detector->GetParams().mLevel, 0.25);
    EXPECT_EQ(update, kUpdateAll);
    IAutoKVDString* text = nullptr;
    detector->GetSettings(&text);
    EXPECT_EQ(Text(text), KVD::String(std::wstring(L"0.25") + wchar_t(0)));
    text->Release();
    detector->Release();
}

}  // namespace
