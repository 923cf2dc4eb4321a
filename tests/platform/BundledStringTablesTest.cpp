// The bundle's string tables hold a text for every key the code looks up, with exactly the
// placeholders the code fills, and nothing else.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <set>

#include "cf/Bundle.h"

namespace {

struct KeyUse {
    const char* table;
    const char* key;
    int parameters;  // how many values the code formats into the text; 0: used as it stands
};

constexpr const char* kSpiro = "Spirometry.kvdstrings";
constexpr const char* kCalc = "CalcEnumsStr.kvdstrings";
constexpr const char* kKeys = "CAFClientStr.kvdstrings";
constexpr const char* kDraw = "OrrelDraw.kvdstrings";

const KeyUse kKeyUses[] = {
    {kSpiro, "IDS_OLD_SPIRO_UPDATED", 0}, {kSpiro, "IDS_REPORT_SETTINGS", 0},
    {kSpiro, "IDS_REPORT_SELECTION", 0}, {kSpiro, "IDS_OLD_SPIRO_CAPTION", 0},
    {kSpiro, "IDS_OVERALL", 0}, {kSpiro, "IDS_BREATHS", 0}, {kSpiro, "IDS_NON_FORCED_BREATHS", 0},
    {kSpiro, "IDS_CHANNEL_NOT_SET", 0}, {kSpiro, "IDS_NO_VALID_SELECTION", 0},
    {kSpiro, "IDS_RANGE_WARNING_1", 0}, {kSpiro, "IDS_RANGE_WARNING_2", 0}, {kSpiro, "IDS_FLOW", 0},
    {kSpiro, "IDS_VOLUME", 0}, {kSpiro, "IDS_SPIROMETRY_CUSTOM", 0}, {kSpiro, "IDS_NONE_FOUND", 0},
    {kSpiro, "IDS_COPY_DATA_WINDOW", 0}, {kSpiro, "IDS_SELECTION_ERROR_REASON_1", 0},
    {kSpiro, "IDS_SELECTION_ERROR_REASON_2", 0}, {kSpiro, "IDS_SELECTION_ERROR_REASON_3", 0},
    {kSpiro, "IDS_SELECTION_ERROR_REASON_4", 0}, {kSpiro, "IDS_SELECTION_ERROR_REASON_6", 0},
    {kSpiro, "IDS_SELECTION_ERROR_REASON_7", 0}, {kSpiro, "IDS_SELECTION_ERROR_REASON_8", 0},
    {kSpiro, "IDS_SELECTION_ERROR_REASON_9", 0}, {kSpiro, "IDS_SELECTION_ERROR_REASON_12", 0},
    {kSpiro, "IDS_PRINT_REPORT", 0}, {kSpiro, "IDS_FORMULA", 2}, {kSpiro, "IDS_FORMULA_NONLINEAR", 2},
    {kSpiro, "IDS_NO_VOL_SELECTION", 0}, {kSpiro, "IDS_NO_FLOW_SELECTION", 0},
    {kSpiro, "IDS_COPY_FLOW_VOLUME_PLOT", 0}, {kSpiro, "IDS_UserUnitsInChannelCaption", 0},
    {kSpiro, "IDS_UserUnitsInChannelMessage", 0}, {kSpiro, "IDS_PRINT_FLOW_VOLUME_PLOT", 0},
    {kSpiro, "IDS_PRINT_DATA_WINDOW", 0}, {kSpiro, "IDS_COPY_REPORT", 0},
    {kSpiro, "IDS_SPIROMETRY_REPORT", 0}, {kSpiro, "IDS_BREATH", 0}, {kSpiro, "IDS_FORCED", 0},
    {kSpiro, "IDS_SINGLE_EXPIRATION", 0}, {kSpiro, "IDS_SPIROMETRY_DURATION", 0},
    {kSpiro, "IDS_EXPORT_DESCRIPTION", 0}, {kSpiro, "IDS_EXPORT_ERROR", 0}, {kSpiro, "IDS_NON_FORCED", 0},
    {kSpiro, "IDS_OLD_VOL_CAPTION", 1},
    // View class names.
    {kSpiro, "ID_SPIROMETRY_DATA", 0}, {kSpiro, "ID_SP_FLOW_VOLUME_PLOT", 0},
    // The Spirometry menu's string groups: menu text, help line, tooltip.
    {kSpiro, "KVDCMDID_Spirometry+0", 0}, {kSpiro, "KVDCMDID_Spirometry+1", 0}, {kSpiro, "KVDCMDID_Spirometry+2", 0},
    {kSpiro, "KVDCMDID_SettingsDlg+0", 0}, {kSpiro, "KVDCMDID_SettingsDlg+1", 0}, {kSpiro, "KVDCMDID_SettingsDlg+2", 0},
    {kSpiro, "KVDCMDID_OpenDataView+0", 0}, {kSpiro, "KVDCMDID_OpenDataView+1", 0}, {kSpiro, "KVDCMDID_OpenDataView+2", 0},
    {kSpiro, "KVDCMDID_OpenXYView+0", 0}, {kSpiro, "KVDCMDID_OpenXYView+1", 0}, {kSpiro, "KVDCMDID_OpenXYView+2", 0},
    {kSpiro, "KVDCMDID_OpenReportView+0", 0}, {kSpiro, "KVDCMDID_OpenReportView+1", 0},
    {kSpiro, "KVDCMDID_OpenReportView+2", 0},

    {kCalc, "IDS_NUMERIC_PARAM_DATATYPEERROR", 2}, {kCalc, "IDS_NUMERIC_UNARYFUNC_PARAM_DATATYPEERROR", 1},
    {kCalc, "IDS_NAMEDCHANNELNOTFOUND", 1}, {kCalc, "IDS_EXPECTSCHANNELNAME", 1},
    {kCalc, "IDS_NUMBEREDCHANNELNOTFOUND", 1}, {kCalc, "IDS_INVALIDCHANNAMEFLAGS", 1},
    {kCalc, "IDS_NUMERIC_PARAM_ERROR1", 4}, {kCalc, "IDS_NUMERIC_PARAM_ERROR2", 3},
    {kCalc, "IDS_NUMERIC_PARAM_ERROR3", 2}, {kCalc, "IDS_NUMERIC_PARAM_ERROR4", 5},
    {kCalc, "IDS_NUMERIC_PARAM_ERROR5", 5}, {kCalc, "IDS_NUMERIC_PARAM_ERROR6", 1},
    {kCalc, "IDS_FUNCTIONEXPANSION_ERROR1", 3}, {kCalc, "IDS_FUNCTIONEXPANSION_ERROR2", 4},
    {kCalc, "IDS_FUNCREPEX_PARAM_ERROR1", 4}, {kCalc, "IDS_FUNCREPEX_PARAM_ERROR2", 3},
    {kCalc, "IDS_FUNCREPEX_PARAM_ERROR3", 2}, {kCalc, "IDS_FUNCREPEX_PARAM_ERROR4", 4},
    {kCalc, "IDS_FUNCREPEX_PARAM_ERROR5", 4}, {kCalc, "IDS_FUNCREPEX_PARAM_ERROR6", 4},
    {kCalc, "IDS_FUNCREPEX_PARAM_ERROR7", 4}, {kCalc, "IDS_FUNCREPEX_PARAM_ERROR8", 0},
    {kCalc, "IDS_USEOFUNDEFINEDVARIABLE", 0}, {kCalc, "IDS_INVALIDASSIGNMENT", 0},
    {kCalc, "IDS_VARIABLESCANNOTDEPENDONCHANNELS", 0}, {kCalc, "IDS_TRAINSEGMENTNAMEMISSING", 0},
    {kCalc, "IDS_STDUNARYFUNC_PARAM_ERROR", 1}, {kCalc, "IDS_BAD_FUNCTION_TYPE", 0}, {kCalc, "IDS_USAGESTR2", 0},
    {kCalc, "IDS_BAD_SYMBOL_TYPE", 0}, {kCalc, "IDS_I_DID_NOT_UNDERSTAND_X", 1},
    {kCalc, "IDS_CLOSING_BRACKET_EXPECTED", 0}, {kCalc, "IDS_SEP_OR_BRACKET_EXPECTED", 1},
    {kCalc, "IDS_NUM_CH_FUNC_BRACKET_EXPECTED", 0}, {kCalc, "IDS_INSUFFICIENT_PARAMS", 0},
    {kCalc, "IDS_MOD_PARAMS_ERROR", 1}, {kCalc, "IDS_THRESHOLD_PARAMS_ERROR", 1},
    {kCalc, "IDS_ATAN2_PARAMS_ERROR", 1}, {kCalc, "IDS_ARITHWINDOWTOPGTBOTTOM", 0},

    {kKeys, "IDS_CAF_DEL", 0}, {kKeys, "IDS_CAF_LEFT_ARROW", 0}, {kKeys, "IDS_CAF_RIGHT_ARROW", 0},
    {kKeys, "IDS_CAF_UP_ARROW", 0}, {kKeys, "IDS_CAF_DOWN_ARROW", 0}, {kKeys, "IDS_CAF_PAGEUP", 0},
    {kKeys, "IDS_CAF_PAGEDOWN", 0}, {kKeys, "IDS_CAF_SCROLL_LOCK", 0}, {kKeys, "IDS_CAF_PAUSE_BREAK", 0},
    {kKeys, "IDS_CAF_INSERT", 0}, {kKeys, "IDS_CAF_HOME", 0}, {kKeys, "IDS_CAF_END", 0},
    {kKeys, "IDS_CAF_SPACEBAR", 0}, {kKeys, "IDS_CAF_NUM_LOCK", 0}, {kKeys, "IDS_CAF_NUM_PAD_CLEAR", 0},
    {kKeys, "IDS_CAF_ENTER", 0}, {kKeys, "IDS_CAF_WINDOWS", 0}, {kKeys, "IDS_CAF_CAPSLOCK", 0},

    {kDraw, "IDS_ERROR_CAPTION", 0}, {kDraw, "IDS_CanStartSamplingFailed", 0},
};

// The placeholder numbers of a text as the format stream reads them ("%%" is no placeholder).
std::set<int> PlaceholdersOf(const std::string& text, bool* strayPercent)
{
    std::set<int> numbers;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        if (i + 1 < text.size() && text[i + 1] == '%') {
            ++i;
            continue;
        }
        int n = 0;
        while (i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1])))
            n = n * 10 + (text[++i] - '0');
        if (n > 0)
            numbers.insert(n);
        else
            *strayPercent = true;
    }
    return numbers;
}

NSBundle* BuiltBundle()
{
    const char* named = std::getenv("SPIRO_BUNDLE");
    return NSBundle::BundleWithPath(named != nullptr ? named : SPIRO_BUNDLE_DIR);
}

TEST(BundledStringTables, HoldATextForEveryKeyWithThePlaceholdersTheCodeFills)
{
    NSBundle* bundle = BuiltBundle();
    ASSERT_NE(bundle, nullptr);
    for (const KeyUse& use : kKeyUses) {
        SCOPED_TRACE(std::string(use.table) + " " + use.key);
        const std::string text = bundle->LocalizedStringForKey(use.key, use.table);
        EXPECT_NE(text, use.key) << "no text";
        EXPECT_FALSE(text.empty());
        bool stray = false;
        const std::set<int> numbers = PlaceholdersOf(text, &stray);
        std::set<int> expected;
        for (int n = 1; n <= use.parameters; ++n)
            expected.insert(n);
        EXPECT_EQ(numbers, expected) << text;
        // A text used as it stands is not formatted, so even "%%" would show doubled.
        if (use.parameters == 0) {
            EXPECT_EQ(text.find('%'), std::string::npos) << text;
        }
        EXPECT_FALSE(stray) << text;
    }
}

TEST(BundledStringTables, AreWellFormedAndHoldNoKeyTheCodeDoesNotUse)
{
    NSBundle* bundle = BuiltBundle();
    ASSERT_NE(bundle, nullptr);
    for (const char* table : {kSpiro, kCalc, kKeys, kDraw}) {
        SCOPED_TRACE(table);
        std::vector<std::string> problems;
        const auto parsed = CF::StringTable::Load(bundle->PathForResource(table, ""), &problems);
        EXPECT_TRUE(problems.empty()) << problems.front();
        std::size_t listed = 0;
        for (const KeyUse& use : kKeyUses)
            listed += std::string(use.table) == table ? 1 : 0;
        EXPECT_EQ(parsed.Size(), listed);
    }
}

}  // namespace
