// Locale facts as the system formats by them, under the C library's German and US locales and
// under made-up ones.
#include <gtest/gtest.h>

#include "cf/Locale.h"
#include "foundation/KVDString.h"
#include "foundation/LocaleInfo.h"

namespace {

using KVD::String;

CF::LocaleFacts FactsOf(const char* name)
{
    CF::LocaleFacts facts;
    EXPECT_TRUE(CF::LocaleFactsOf(name, &facts)) << name << " is not installed: run scripts/install-deps.sh";
    return facts;
}

TEST(LocaleInfo, GermanUsesADecimalCommaASemicolonListAndA24HourClock)
{
    const LocaleInfo info(FactsOf("de_DE.UTF-8"));
    EXPECT_STREQ(info.DecimalSeparator(), L",");
    EXPECT_STREQ(info.ListSeparator(), L";");
    EXPECT_STREQ(info.TimeSeparator(), L":");
    EXPECT_STREQ(info.AMSymbol(), L"AM");  // the locale has none
    EXPECT_STREQ(info.PMSymbol(), L"PM");
    EXPECT_TRUE(info.Uses24HourClock());
    EXPECT_EQ(info.DoLocalizeNumString(L"1,234.5", false), L"1;234,5");
    EXPECT_EQ(info.DoLocalizeNumString(L"1,234.5", true), L"1,234,5");
    EXPECT_TRUE(info.DoLocalizeNumString(String(), false).empty());
}

TEST(LocaleInfo, UsEnglishUsesADecimalPointACommaListAndA12HourClock)
{
    const LocaleInfo info(FactsOf("en_US.UTF-8"));
    EXPECT_STREQ(info.DecimalSeparator(), L".");
    EXPECT_STREQ(info.ListSeparator(), L",");
    EXPECT_STREQ(info.AMSymbol(), L"AM");
    EXPECT_STREQ(info.PMSymbol(), L"PM");
    EXPECT_FALSE(info.Uses24HourClock());
    EXPECT_EQ(info.DoLocalizeNumString(L"f(1.5,2)", false), L"f(1.5,2)");
}

TEST(LocaleInfo, MadeUpLocalesAreHeldToWhatTheTextsCanCarry)
{
    const LocaleInfo longSeparator(CF::LocaleFacts{"<>", "", "", "HH:mm"});
    EXPECT_STREQ(longSeparator.DecimalSeparator(), L".");  // too long: a point
    EXPECT_STREQ(longSeparator.ListSeparator(), L",");
    const LocaleInfo info(CF::LocaleFacts{"\u066B", "vormittags-und-frueh", "\u0645", "h:mm a"});
    EXPECT_STREQ(info.DecimalSeparator(), L"\u066B");  // one character, however many bytes
    EXPECT_STREQ(info.AMSymbol(), L"vormittags-und-");  // fifteen characters at most
    EXPECT_STREQ(info.PMSymbol(), L"\u0645");
    EXPECT_FALSE(info.Uses24HourClock());
    // The clock style comes from the hour field; a quoted h is text.
    for (const wchar_t* pattern : {L"HH:mm", L"H.mm", L"HH 'h' mm"})
        EXPECT_TRUE(LocaleInfo::Is24HourPattern(pattern)) << pattern;
    for (const wchar_t* pattern : {L"h:mm a", L"K:mm a", L"%I:%M"})
        EXPECT_FALSE(LocaleInfo::Is24HourPattern(pattern)) << pattern;
}

}  // namespace
