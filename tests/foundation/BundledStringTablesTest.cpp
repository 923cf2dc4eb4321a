// The bundle's string tables hold a text for every key the code looks up, with exactly the
// placeholders the code fills, and nothing else.
#include <gtest/gtest.h>

#include <cwctype>
#include <set>

#include "cf/Bundle.h"
#include "foundation/KVDString.h"
#include "foundation/StringKeys.h"

namespace {

using KVD::String;

struct KeyUse {
    KVDXMLStringKey key;
    int parameters;  // how many values the code formats into the text; 0: used as it stands
};

const KeyUse kKeyUses[] = {
    {SpirometryStr::IDS_OLD_SPIRO_UPDATED, 0}, {SpirometryStr::IDS_NO_CYCLIC_MEASUREMENTS, 0},
    {SpirometryStr::IDS_REPORT_SETTINGS, 0},
    {SpirometryStr::IDS_REPORT_SELECTION, 0}, {SpirometryStr::IDS_OLD_SPIRO_CAPTION, 0},
    {SpirometryStr::IDS_OVERALL, 0}, {SpirometryStr::IDS_BREATHS, 0},
    {SpirometryStr::IDS_NON_FORCED_BREATHS, 0}, {SpirometryStr::IDS_CHANNEL_NOT_SET, 0},
    {SpirometryStr::IDS_NO_VALID_SELECTION, 0}, {SpirometryStr::IDS_RANGE_WARNING_1, 0},
    {SpirometryStr::IDS_RANGE_WARNING_2, 0}, {SpirometryStr::IDS_FLOW, 0}, {SpirometryStr::IDS_VOLUME, 0},
    {SpirometryStr::IDS_SPIROMETRY_CUSTOM, 0}, {SpirometryStr::IDS_NONE_FOUND, 0},
    {SpirometryStr::IDS_COPY_DATA_WINDOW, 0}, {SpirometryStr::IDS_SELECTION_ERROR_REASON_1, 0},
    {SpirometryStr::IDS_SELECTION_ERROR_REASON_2, 0}, {SpirometryStr::IDS_SELECTION_ERROR_REASON_3, 0},
    {SpirometryStr::IDS_SELECTION_ERROR_REASON_4, 0}, {SpirometryStr::IDS_SELECTION_ERROR_REASON_6, 0},
    {SpirometryStr::IDS_SELECTION_ERROR_REASON_7, 0}, {SpirometryStr::IDS_SELECTION_ERROR_REASON_8, 0},
    {SpirometryStr::IDS_SELECTION_ERROR_REASON_9, 0}, {SpirometryStr::IDS_SELECTION_ERROR_REASON_12, 0},
    {SpirometryStr::IDS_PRINT_REPORT, 0}, {SpirometryStr::IDS_FORMULA, 2},
    {SpirometryStr::IDS_FORMULA_NONLINEAR, 2}, {SpirometryStr::IDS_NO_VOL_SELECTION, 0},
    {SpirometryStr::IDS_NO_FLOW_SELECTION, 0}, {SpirometryStr::IDS_CALIBRATION_NO_RESULT, 0},
    {SpirometryStr::IDS_NO_FLOW_IN_SELECTION, 0},
    {SpirometryStr::IDS_COPY_FLOW_VOLUME_PLOT, 0},
    {SpirometryStr::IDS_UserUnitsInChannelCaption, 0}, {SpirometryStr::IDS_UserUnitsInChannelMessage, 0},
    {SpirometryStr::IDS_PRINT_FLOW_VOLUME_PLOT, 0}, {SpirometryStr::IDS_PRINT_DATA_WINDOW, 0},
    {SpirometryStr::IDS_COPY_REPORT, 0}, {SpirometryStr::IDS_SPIROMETRY_REPORT, 0},
    {SpirometryStr::IDS_BREATH, 0}, {SpirometryStr::IDS_FORCED, 0},
    {SpirometryStr::IDS_SINGLE_EXPIRATION, 0}, {SpirometryStr::IDS_SPIROMETRY_DURATION, 0},
    {SpirometryStr::IDS_EXPORT_DESCRIPTION, 0}, {SpirometryStr::IDS_EXPORT_ERROR, 0},
    {SpirometryStr::IDS_NON_FORCED, 0}, {SpirometryStr::IDS_OLD_VOL_CAPTION, 1},
    {SpirometryStr::ID_SPIROMETRY_DATA, 0}, {SpirometryStr::ID_SP_FLOW_VOLUME_PLOT, 0},
    {SpirometryStr::IDS_PRINTABLE_SVG_INVALID, 0},
    {CalcEnumsStr::IDS_NUMERIC_PARAM_DATATYPEERROR, 2},
    {CalcEnumsStr::IDS_NUMERIC_UNARYFUNC_PARAM_DATATYPEERROR, 1},
    {CalcEnumsStr::IDS_NAMEDCHANNELNOTFOUND, 1}, {CalcEnumsStr::IDS_EXPECTSCHANNELNAME, 1},
    {CalcEnumsStr::IDS_NUMBEREDCHANNELNOTFOUND, 1}, {CalcEnumsStr::IDS_INVALIDCHANNAMEFLAGS, 1},
    {CalcEnumsStr::IDS_NUMERIC_PARAM_ERROR1, 4}, {CalcEnumsStr::IDS_NUMERIC_PARAM_ERROR2, 3},
    {CalcEnumsStr::IDS_NUMERIC_PARAM_ERROR3, 2}, {CalcEnumsStr::IDS_NUMERIC_PARAM_ERROR4, 5},
    {CalcEnumsStr::IDS_NUMERIC_PARAM_ERROR5, 5}, {CalcEnumsStr::IDS_NUMERIC_PARAM_ERROR6, 1},
    {CalcEnumsStr::IDS_FUNCTIONEXPANSION_ERROR1, 3}, {CalcEnumsStr::IDS_FUNCTIONEXPANSION_ERROR2, 4},
    {CalcEnumsStr::IDS_FUNCREPEX_PARAM_ERROR1, 4}, {CalcEnumsStr::IDS_FUNCREPEX_PARAM_ERROR2, 3},
    {CalcEnumsStr::IDS_FUNCREPEX_PARAM_ERROR3, 2}, {CalcEnumsStr::IDS_FUNCREPEX_PARAM_ERROR4, 4},
    {CalcEnumsStr::IDS_FUNCREPEX_PARAM_ERROR5, 4}, {CalcEnumsStr::IDS_FUNCREPEX_PARAM_ERROR6, 4},
    {CalcEnumsStr::IDS_FUNCREPEX_PARAM_ERROR7, 4}, {CalcEnumsStr::IDS_FUNCREPEX_PARAM_ERROR8, 0},
    {CalcEnumsStr::IDS_USEOFUNDEFINEDVARIABLE, 0}, {CalcEnumsStr::IDS_INVALIDASSIGNMENT, 0},
    {CalcEnumsStr::IDS_VARIABLESCANNOTDEPENDONCHANNELS, 0}, {CalcEnumsStr::IDS_TRAINSEGMENTNAMEMISSING, 0},
    {CalcEnumsStr::IDS_STDUNARYFUNC_PARAM_ERROR, 1}, {CalcEnumsStr::IDS_BAD_FUNCTION_TYPE, 0},
    {CalcEnumsStr::IDS_USAGESTR2, 0}, {CalcEnumsStr::IDS_BAD_SYMBOL_TYPE, 0},
    {CalcEnumsStr::IDS_I_DID_NOT_UNDERSTAND_X, 1}, {CalcEnumsStr::IDS_CLOSING_BRACKET_EXPECTED, 0},
    {CalcEnumsStr::IDS_SEP_OR_BRACKET_EXPECTED, 1}, {CalcEnumsStr::IDS_NUM_CH_FUNC_BRACKET_EXPECTED, 0},
    {CalcEnumsStr::IDS_INSUFFICIENT_PARAMS, 0}, {CalcEnumsStr::IDS_MOD_PARAMS_ERROR, 1},
    {CalcEnumsStr::IDS_THRESHOLD_PARAMS_ERROR, 1}, {CalcEnumsStr::IDS_ATAN2_PARAMS_ERROR, 1},
    {CalcEnumsStr::IDS_ARITHWINDOWTOPGTBOTTOM, 0}, {CalcEnumsStr::IDS_NESTING_TOO_DEEP, 0},
    {CalcEnumsStr::IDS_FUNCTIONEXPANSION_TOO_LONG, 0}, {CalcEnumsStr::IDS_FUNCTIONEXPANSION_TOO_DEEP, 1},
    {CalcEnumsStr::IDS_UNMATCHED_CLOSING_BRACKET, 0},
    {CalcEnumsStr::IDS_FORMULA_TOO_LONG, 1}, {CalcEnumsStr::IDS_FORMULA_TOO_MANY_TERMS, 1},
    {CalcEnumsStr::IDS_CALCENUM_NOT_CONNECTED, 1}, {CalcEnumsStr::IDS_CALCENUM_NOT_AVAILABLE, 1},
    {CAFClientStr::IDS_CAF_DEL, 0},
    {CAFClientStr::IDS_CAF_LEFT_ARROW, 0}, {CAFClientStr::IDS_CAF_RIGHT_ARROW, 0},
    {CAFClientStr::IDS_CAF_UP_ARROW, 0}, {CAFClientStr::IDS_CAF_DOWN_ARROW, 0},
    {CAFClientStr::IDS_CAF_PAGEUP, 0}, {CAFClientStr::IDS_CAF_PAGEDOWN, 0},
    {CAFClientStr::IDS_CAF_SCROLL_LOCK, 0}, {CAFClientStr::IDS_CAF_PAUSE_BREAK, 0},
    {CAFClientStr::IDS_CAF_INSERT, 0}, {CAFClientStr::IDS_CAF_HOME, 0}, {CAFClientStr::IDS_CAF_END, 0},
    {CAFClientStr::IDS_CAF_SPACEBAR, 0}, {CAFClientStr::IDS_CAF_NUM_LOCK, 0},
    {CAFClientStr::IDS_CAF_NUM_PAD_CLEAR, 0}, {CAFClientStr::IDS_CAF_ENTER, 0},
    {CAFClientStr::IDS_CAF_WINDOWS, 0}, {CAFClientStr::IDS_CAF_CAPSLOCK, 0},
    {OrrelDrawStr::IDS_ERROR_CAPTION, 0}, {OrrelDrawStr::IDS_CanStartSamplingFailed, 0},
    {UIStr::AutoScaleStack, 0}, {UIStr::AutoScaleOverlay, 0}, {UIStr::ShowSourceOnly, 0},
    {OrrelDrawStr::IDS_ZOOM_COMPRESS, 0}, {OrrelDrawStr::IDS_ZOOM_RATIO, 0}, {OrrelDrawStr::IDS_ZOOM_EXPAND, 0},
    {OrrelDrawStr::IDS_ZOOM_AUTOFIT, 0}, {OrrelDrawStr::IDS_ZOOM_SCROLL_TO_END, 0},
    {OrrelDrawStr::IDS_PREVIEW_ORREL_VIEW, 0},
    {LumoStr::IDS_LUMO_BAD_PROPERTY, 5}, {LumoStr::IDS_LUMO_ARTICLE_A, 0}, {LumoStr::IDS_LUMO_ARTICLE_AN, 0},
    {LumoStr::IDS_LUMO_USING_DEFAULT, 1}, {LumoStr::IDS_LUMO_PLOTTER_WILL_FAIL, 0},
    {LumoStr::IDS_LUMO_NOT_PRINTED, 0}, {LumoStr::IDS_LUMO_PAGES_SILENT, 1},
    {LumoStr::IDS_LUMO_SCALE_MENU, 0}, {LumoStr::IDS_LUMO_AUTO_SCALE, 0}, {LumoStr::IDS_LUMO_UNIPOLAR, 0},
    {LumoStr::IDS_LUMO_BIPOLAR, 0}, {LumoStr::IDS_LUMO_INVERT_SCALE, 0}, {LumoStr::IDS_LUMO_SET_SCALE, 0},
};

// The Spirometry menu's string groups, each with a menu text, a help line and a tooltip.
const KVDXMLStringGroupKey kMenuGroups[] = {SpirometryStr::KVDCMDID_Spirometry, SpirometryStr::KVDCMDID_SettingsDlg, SpirometryStr::KVDCMDID_OpenDataView, SpirometryStr::KVDCMDID_OpenXYView, SpirometryStr::KVDCMDID_OpenReportView};
constexpr int kMenuEntries = 3;

// The placeholder numbers of a text as the format stream reads them ("%%" is no placeholder).
std::set<int> PlaceholdersOf(const String& text, bool* strayPercent)
{
    std::set<int> numbers;
    for (unsigned i = 0; i < text.length(); ++i) {
        if (text[i] != L'%')
            continue;
        if (i + 1 < text.length() && text[i + 1] == L'%') {
            ++i;
            continue;
        }
        int n = 0;
        while (i + 1 < text.length() && std::iswdigit(text[i + 1]))
            n = n * 10 + (text[++i] - L'0');
        if (n > 0)
            numbers.insert(n);
        else
            *strayPercent = true;
    }
    return numbers;
}

void ExpectText(const String& text, const std::string& key, int parameters)
{
    SCOPED_TRACE(key);
    EXPECT_NE(text, String(key)) << "no text";
    EXPECT_FALSE(text.empty());
    bool stray = false;
    std::set<int> expected;
    for (int n = 1; n <= parameters; ++n)
        expected.insert(n);
    EXPECT_EQ(PlaceholdersOf(text, &stray), expected) << KVD::ToU8String(text);
    EXPECT_FALSE(stray) << KVD::ToU8String(text);
    // A text used as it stands is not formatted, so even "%%" would show doubled.
    if (parameters == 0) {
        EXPECT_EQ(std::wstring(text.c_str()).find(L'%'), std::wstring::npos) << KVD::ToU8String(text);
    }
    // Every product token was replaced.
    EXPECT_EQ(std::wstring(text.c_str()).find(L"ORREL"), std::wstring::npos);
}

TEST(BundledStringTables, HoldATextForEveryKeyWithThePlaceholdersTheCodeFills)
{
    ASSERT_NE(KVDGetMyBundle(), nullptr);
    for (const KeyUse& use : kKeyUses) {
        ExpectText(String(KVDGetMyBundle(), use.key, true), use.key.key, use.parameters);
    }
    for (const KVDXMLStringGroupKey& group : kMenuGroups)
        for (int i = 0; i < kMenuEntries; ++i)
            ExpectText(String(KVDGetMyBundle(), group, i, true), group.EntryKey(i), 0);
}

TEST(BundledStringTables, NameTheHostInPlaceOfItsToken)
{
    const String text(KVDGetMyBundle(), SpirometryStr::IDS_OLD_SPIRO_UPDATED, true);
    EXPECT_NE(std::wstring(text.c_str()).find(L"this version of Vexorium"), std::wstring::npos);
}

TEST(BundledStringTables, AreWellFormedAndHoldNoKeyTheCodeDoesNotUse)
{
    NSBundle* bundle = KVDGetMyBundle();
    ASSERT_NE(bundle, nullptr);
    for (const char* table : {SpirometryStr::kTable, CalcEnumsStr::kTable, CAFClientStr::kTable, OrrelDrawStr::kTable,
                              UIStr::kTable}) {
        SCOPED_TRACE(table);
        std::vector<std::string> problems;
        const auto parsed = CF::StringTable::Load(bundle->PathForResource(table, ""), &problems);
        EXPECT_TRUE(problems.empty()) << problems.front();
        std::size_t listed = 0;
        for (const KeyUse& use : kKeyUses)
            listed += std::string(use.key.table) == table ? 1 : 0;
        for (const KVDXMLStringGroupKey& group : kMenuGroups)
            listed += std::string(group.table) == table ? kMenuEntries : 0;
        EXPECT_EQ(parsed.Size(), listed);
    }
}

}  // namespace
