// Locale facts from the C library's locales, and the short time pattern made of them.
#include <gtest/gtest.h>

#include "cf/Locale.h"

namespace {

TEST(LocaleFacts, OfTheInstalledLocales)
{
    const struct {
        const char* name;
        CF::LocaleFacts expected;  // decimal separator, AM, PM, short time pattern
    } locales[] = {
        {"C", {".", "AM", "PM", "HH:mm"}},
        {"de_DE.UTF-8", {",", "", "", "HH:mm"}},  // a decimal comma and a 24-hour clock
        {"en_US.UTF-8", {".", "AM", "PM", "hh:mm a"}},
    };
    for (const auto& locale : locales) {
        CF::LocaleFacts facts;
        ASSERT_TRUE(CF::LocaleFactsOf(locale.name, &facts)) << locale.name << " is not installed: run scripts/install-deps.sh";
        EXPECT_EQ(facts.decimalSeparator, locale.expected.decimalSeparator) << locale.name;
        EXPECT_EQ(facts.amSymbol, locale.expected.amSymbol) << locale.name;
        EXPECT_EQ(facts.pmSymbol, locale.expected.pmSymbol) << locale.name;
        EXPECT_EQ(facts.shortTimePattern, locale.expected.shortTimePattern) << locale.name;
    }
}

TEST(LocaleFacts, AnUninstalledLocaleIsRefused)
{
    CF::LocaleFacts facts;
    EXPECT_FALSE(CF::LocaleFactsOf("xx_XX.UTF-8", &facts));
}

TEST(LocaleFacts, TheCurrentLocaleCanBeFixedAndReturnedToTheEnvironment)
{
    CF::LocaleFacts environment;
    ASSERT_TRUE(CF::LocaleFactsOf("", &environment) || CF::LocaleFactsOf("C", &environment));
    CF::SetCurrentLocaleFacts({"٫", "ص", "م", "h:mm a"});
    EXPECT_EQ(CF::CurrentLocaleFacts().decimalSeparator, "٫");
    EXPECT_EQ(CF::CurrentLocaleFacts().shortTimePattern, "h:mm a");
    CF::ResetCurrentLocaleFacts();
    EXPECT_EQ(CF::CurrentLocaleFacts().decimalSeparator, environment.decimalSeparator);
    EXPECT_EQ(CF::CurrentLocaleFacts().shortTimePattern, environment.shortTimePattern);
}

// Hours, minutes and AM/PM are mapped and the seconds dropped; literal letters are quoted.
TEST(ShortTimePattern, FromTheCLibrarysTimeFormats)
{
    const struct {
        const char* format;
        const char* twelveHour;
        const char* expected;
    } cases[] = {
        {"%H:%M:%S", "", "HH:mm"}, {"%I:%M:%S %p", "", "hh:mm a"}, {"%T", "", "HH:mm"}, {"%R", "", "HH:mm"},
        {"%r", "%I:%M:%S %p", "hh:mm a"}, {"%l.%M %P", "", "h.mm a"}, {"%k:%M", "", "H:mm"},
        {"%Hh%M", "", "HH'h'mm"}, {"%H o'clock", "", "HH' o''clock'"}, {"%OH:%EM %Z", "", "HH:mm "},
        {"%r", "%r", ""},  // a 12-hour format that names itself
        {"100%% %", "", "100% %"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CF::ShortTimePatternOf(c.format, c.twelveHour), c.expected) << c.format;
}

}  // namespace
