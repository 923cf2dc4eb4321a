// Locale facts from the C library's locales, and the short time pattern made of them.
#include <gtest/gtest.h>

#include "cf/Locale.h"

namespace {

CF::LocaleFacts FactsOf(const char* name)
{
    CF::LocaleFacts facts;
    EXPECT_TRUE(CF::LocaleFactsOf(name, &facts)) << name << " is not installed: run scripts/install-deps.sh";
    return facts;
}

TEST(LocaleFacts, TheCLocale)
{
    const auto facts = FactsOf("C");
    EXPECT_EQ(facts.decimalSeparator, ".");
    EXPECT_EQ(facts.amSymbol, "AM");
    EXPECT_EQ(facts.pmSymbol, "PM");
    EXPECT_EQ(facts.shortTimePattern, "HH:mm");
}

TEST(LocaleFacts, GermanWritesADecimalCommaAndA24HourClock)
{
    const auto facts = FactsOf("de_DE.UTF-8");
    EXPECT_EQ(facts.decimalSeparator, ",");
    EXPECT_EQ(facts.amSymbol, "");
    EXPECT_EQ(facts.pmSymbol, "");
    EXPECT_EQ(facts.shortTimePattern, "HH:mm");
}

TEST(LocaleFacts, UsEnglishWritesADecimalPointAndA12HourClock)
{
    const auto facts = FactsOf("en_US.UTF-8");
    EXPECT_EQ(facts.decimalSeparator, ".");
    EXPECT_EQ(facts.amSymbol, "AM");
    EXPECT_EQ(facts.pmSymbol, "PM");
    EXPECT_EQ(facts.shortTimePattern, "hh:mm a");
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

TEST(ShortTimePattern, MapsHoursMinutesAndAmPmAndDropsTheSeconds)
{
    EXPECT_EQ(CF::ShortTimePatternOf("%H:%M:%S", ""), "HH:mm");
    EXPECT_EQ(CF::ShortTimePatternOf("%I:%M:%S %p", ""), "hh:mm a");
    EXPECT_EQ(CF::ShortTimePatternOf("%T", ""), "HH:mm");
    EXPECT_EQ(CF::ShortTimePatternOf("%R", ""), "HH:mm");
    EXPECT_EQ(CF::ShortTimePatternOf("%r", "%I:%M:%S %p"), "hh:mm a");
    EXPECT_EQ(CF::ShortTimePatternOf("%l.%M %P", ""), "h.mm a");
    EXPECT_EQ(CF::ShortTimePatternOf("%k:%M", ""), "H:mm");
}

TEST(ShortTimePattern, QuotesLiteralLettersAndSurvivesOddFormats)
{
    EXPECT_EQ(CF::ShortTimePatternOf("%Hh%M", ""), "HH'h'mm");
    EXPECT_EQ(CF::ShortTimePatternOf("%H o'clock", ""), "HH' o''clock'");
    EXPECT_EQ(CF::ShortTimePatternOf("%OH:%EM %Z", ""), "HH:mm ");
    EXPECT_EQ(CF::ShortTimePatternOf("%r", "%r"), "");  // a 12-hour format that names itself
    EXPECT_EQ(CF::ShortTimePatternOf("100%% %", ""), "100% %");
}

}  // namespace
