// Time labels in every display mode: their texts, the locale's separators and clock, rounding
// to the minute, and stepping across an hour, midnight and zero without drift.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <sstream>

#include "cf/Locale.h"
#include "foundation/LocaleInfo.h"
#include "foundation/units/LabelTime.h"

namespace {

constexpr double kNotKnown = std::numeric_limits<double>::quiet_NaN();
const KVDTimeDate kNoDate = {0.0, kNotKnown};

// Runs each test under a locale of its own, put where the labels look for it.
class LabelTimeTest : public ::testing::Test {
protected:
    ~LabelTimeTest() override { LocaleInfo::sTheLocaleInfo.store(mPrevious); }

    void UseLocale(const char* decimal, const char* shortTime, const char* am = "a.m.", const char* pm = "p.m.")
    {
        CF::LocaleFacts facts;
        facts.decimalSeparator = decimal;
        facts.amSymbol = am;
        facts.pmSymbol = pm;
        facts.shortTimePattern = shortTime;
        mLocale = std::make_unique<LocaleInfo>(facts);
        LocaleInfo::sTheLocaleInfo.store(mLocale.get());
    }
    void UseTwelveHourClock() { UseLocale(".", "h:mm a"); }
    void UseTwentyFourHourClock() { UseLocale(".", "HH:mm"); }

    // A label of the mode and value, with decimals places and extra format flags.
    static LabelTime Label(TimeDisplayMode mode, double seconds, int decimals, uint32_t extraFlags = 0)
    {
        LabelTime label;
        label.SetDecPlaces(decimals);
        label.Set(mode, kNoDate, kNoDate, seconds, true);
        label.SetFormatFlags(label.GetFormatFlags() | extraFlags);
        return label;
    }
    static std::wstring Text(TimeDisplayMode mode, double seconds, int decimals, uint32_t extraFlags = 0)
    {
        return Label(mode, seconds, decimals, extraFlags).str().c_str();
    }

    // Steps a label count times and checks every text against a label set afresh to the
    // exact value, and the value itself.
    static void ExpectNoDrift(TimeDisplayMode mode, double start, int stepsPerSecond, int count, int decimals,
                              uint32_t extraFlags = 0)
    {
        LabelTime stepped = Label(mode, start, decimals, extraFlags);
        const double step = 1.0 / stepsPerSecond;
        for (int i = 1; i <= count; ++i) {
            stepped += step;
            const double exact = start + double(i) / stepsPerSecond;
            const LabelTime fresh = Label(mode, exact, decimals, extraFlags);
            ASSERT_EQ(std::wstring(stepped.str().c_str()), std::wstring(fresh.str().c_str()))
                << "mode " << std::hex << mode << std::dec << " step " << i << " at " << exact;
            ASSERT_NEAR(stepped.AsUnits(), exact, 1e-9) << "step " << i;
        }
    }

private:
    LocaleInfo* mPrevious = LocaleInfo::sTheLocaleInfo.load();
    std::unique_ptr<LocaleInfo> mLocale;
};

constexpr TimeDisplayMode kRelative = CTimeDisplayMode::kOriginRelative;
constexpr TimeDisplayMode kRelativeToDate = CTimeDisplayMode::kOriginRelativeToDate;
constexpr TimeDisplayMode kTimeOfDay = CTimeDisplayMode::kOriginTimeOfDay;
constexpr TimeDisplayMode kMilliSeconds = kRelative | CTimeDisplayMode::kMilliSeconds;
constexpr TimeDisplayMode kSeconds = kRelative | CTimeDisplayMode::kAlwaysSeconds;
constexpr TimeDisplayMode kUnits = kRelative | CTimeDisplayMode::kUnitsNotTime;
constexpr TimeDisplayMode kUniversal = kTimeOfDay | CTimeDisplayMode::kUniversalTime;

// Milliseconds never apply to a time of day, whatever the mode word says.
TEST(TimeDisplayMode, MilliSecondsOnlyForRelativeOrigins)
{
    EXPECT_FALSE(CTimeDisplayMode(0xE0000003).UseMilliSeconds());
    EXPECT_TRUE(CTimeDisplayMode(0x20000001).UseMilliSeconds());
    EXPECT_FALSE(CTimeDisplayMode(0x80000002).UseMilliSeconds());
    EXPECT_EQ(CTimeDisplayMode::GetAbsoluteLongestLabelStr(), L"10:00:00.0000 a.m.");
}

// The texts of every mode: separators or letters, rounding, clocks, units and the locale's
// decimal separator.
TEST_F(LabelTimeTest, TextsOfEveryMode)
{
    enum Clock { k24, k12, kComma };
    constexpr uint32_t kLetters = LabelTime::kLetters, kHMS = LabelTime::kAlwaysHMS,
                       kZeros = LabelTime::kKeepTrailingZeros, kUnitsText = LabelTime::kAppendUnits,
                       kUT = LabelTime::kAppendUT;
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const struct {
        Clock clock;
        TimeDisplayMode mode;
        double seconds;
        int decimals;
        uint32_t flags;
        const wchar_t* expected;
    } cases[] = {
        {k24, kRelative, 3905.25, 2, 0, L"1:05:05.25"},
        {k24, kRelative, 3905.25, 2, kLetters, L"1h05m05.25s"},
        {k24, kRelative, 65, 1, 0, L"1:05"},
        {k24, kRelative, 65, 1, kHMS, L"0:01:05.0"},
        {k24, kRelative, 65.5, 3, 0, L"1:05.5"},
        {k24, kRelative, 65.5, 3, kZeros, L"1:05.500"},
        {k24, kRelative, 5.25, 2, 0, L"5.25"},
        {k24, kRelative, 5.25, 2, kUnitsText, L"5.25 s"},
        {k24, kRelative, 65, 0, kUnitsText, L"1:05"},
        {k24, kRelative, 0, 2, 0, L"0"},
        {k24, kRelative, 36000 * 3 + 1.5, 1, 0, L"30:00:01.5"},  // relative hours never wrap
        // Seconds round up to the minute; those that round up to 10 are not padded to "010".
        {k24, kRelative, 119.99, 1, 0, L"2:00"},
        {k24, kRelative, -119.99, 1, 0, L"-2:00"},
        {k24, kRelative, 3599.96, 1, 0, L"1:00:00"},
        {k24, kRelative, 69.997, 2, 0, L"1:10"},
        {k24, kRelative, 69.994, 2, 0, L"1:09.99"},
        {k12, kTimeOfDay, 13 * 3600 + 5 * 60, 0, 0, L"1:05:00 p.m."},
        {k12, kTimeOfDay, 30 * 60 + 7.25, 2, 0, L"12:30:07.25 a.m."},
        {k12, kTimeOfDay, 12 * 3600, 1, 0, L"12:00:00 p.m."},
        {k12, kTimeOfDay, 24 * 3600 + 60, 1, 0, L"12:01:00 a.m."},  // the next day
        // Universal time uses the 24-hour clock whatever the locale, and may say so.
        {k12, kUniversal, 13 * 3600 + 5 * 60, 0, 0, L"13:05:00"},
        {k12, kUniversal, 13 * 3600 + 5 * 60, 0, kUT, L"13:05:00 UT"},
        {k24, kTimeOfDay, 13 * 3600 + 5 * 60, 0, 0, L"13:05:00"},
        {k24, kTimeOfDay, 25 * 3600 + 5 * 60 + 9.5, 1, 0, L"1:05:09.5"},
        {k24, kTimeOfDay, 13 * 3600, 0, kUT, L"13:00:00"},  // not universal
        {k24, kMilliSeconds, 1.5, 1, 0, L"1500"},
        {k24, kMilliSeconds, 1.5, 1, kUnitsText, L"1500 ms"},
        {k24, kMilliSeconds, 0.00125, 2, 0, L"1.25"},
        {k24, kSeconds, 65, 1, kUnitsText, L"65 s"},
        {k24, kSeconds, 3905.25, 3, 0, L"3905.25"},
        {k24, kSeconds, -0.0001, 2, 0, L"0"},  // never "-0"
        {k24, kTimeOfDay | CTimeDisplayMode::kMilliSeconds, 3600 * 14, 0, 0, L"14:00:00"},  // no millisecond form
        {k24, kUnits, 1.5, 2, 0, L"1.5"},
        {k24, kUnits, 2.0, 2, 0, L"2.0"},
        {k24, kUnits, 100, 0, 0, L"100"},
        {k24, kUnits, 1.5, 2, kZeros, L"1.50"},
        {k24, kUnits, 3905.25, 2, kUnitsText | kLetters, L"3905.25"},
        {k24, kUnits, -0.001, 2, 0, L"0.0"},
        {kComma, kRelative, 3905.25, 2, 0, L"1:05:05,25"},
        {kComma, kUnits, 2.0, 2, 0, L"2,0"},
        {kComma, kSeconds, 65.5, 1, kUnitsText, L"65,5 s"},
        {kComma, kRelative, 65, 1, 0, L"1:05"},
        // Times that are not finite do not break the label.
        {k24, kRelative, kInf, 1, 0, L"inf"},
        {k24, kRelative, -kInf, 1, 0, L"-inf"},
        {k24, kRelative, kNotKnown, 1, 0, L"nan"},
    };
    for (const auto& c : cases) {
        if (c.clock == kComma)
            UseLocale(",", "HH:mm");
        else
            c.clock == k12 ? UseTwelveHourClock() : UseTwentyFourHourClock();
        EXPECT_EQ(Text(c.mode, c.seconds, c.decimals, c.flags), c.expected) << c.seconds;
    }
    EXPECT_EQ(Text(kRelative, 1e300, 0).substr(0, 10), L"2147483647");
    // Rounded texts keep the value.
    EXPECT_DOUBLE_EQ(Label(kRelative, 119.99, 1).AsSeconds(0), 119.99);
    EXPECT_DOUBLE_EQ(Label(kRelative, -119.99, 1).AsSeconds(0), -119.99);
    EXPECT_DOUBLE_EQ(Label(kUnits, 3905.25, 2).AsUnits(), 3905.25);
}

TEST_F(LabelTimeTest, ChangingTheDecimalPlacesResplitsTheValue)
{
    UseTwentyFourHourClock();
    LabelTime label = Label(kRelative, 119.99, 1);
    label.SetDecPlaces(2);
    EXPECT_EQ(label.str(), L"1:59.99");
    EXPECT_DOUBLE_EQ(label.AsSeconds(0), 119.99);
    label.SetDecPlaces(0);
    EXPECT_EQ(label.str(), L"2:00");
    EXPECT_DOUBLE_EQ(label.AsSeconds(0), 119.99);
}

TEST_F(LabelTimeTest, SteppingThroughZeroFlipsTheSign)
{
    UseTwentyFourHourClock();
    LabelTime label = Label(kRelative, 70, 0);
    label += -80;
    EXPECT_EQ(label.str(), L"-10");
    EXPECT_DOUBLE_EQ(label.AsSeconds(0), -10);
    label += 10;
    EXPECT_EQ(label.str(), L"0");
    label += -3725;
    EXPECT_EQ(label.str(), L"-1:02:05");
    label += 3725 + 61;
    EXPECT_EQ(label.str(), L"1:01");
    ExpectNoDrift(kRelative, -3.0, 10, 60, 1);
    ExpectNoDrift(kSeconds, -2.0, 4, 16, 2);
}

TEST_F(LabelTimeTest, EveryModeStepsOverAnHourWithoutDrift)
{
    UseTwelveHourClock();
    ExpectNoDrift(kRelative, 3590.0, 10, 200, 1);
    ExpectNoDrift(kRelative, 3598.0, 3, 12, 2, LabelTime::kLetters);
    ExpectNoDrift(kRelative, 3590.0, 10, 200, 1, LabelTime::kAlwaysHMS);
    ExpectNoDrift(kMilliSeconds, 3599.5, 1000, 1000, 0, LabelTime::kAppendUnits);
    ExpectNoDrift(kSeconds, 3590.0, 10, 200, 1, LabelTime::kAppendUnits);
    ExpectNoDrift(kUnits, 3590.0, 10, 200, 2);
    ExpectNoDrift(kTimeOfDay, 11 * 3600 + 3590.0, 10, 200, 1);
    ExpectNoDrift(kUniversal, 23 * 3600 + 3590.0, 10, 200, 1, LabelTime::kAppendUT);
    UseTwentyFourHourClock();
    ExpectNoDrift(kTimeOfDay, 23 * 3600 + 3590.0, 10, 200, 1);
}

TEST_F(LabelTimeTest, AWholeHourOfTenthsLandsOnTheHour)
{
    UseTwentyFourHourClock();
    LabelTime label = Label(kRelative, 0, 1);
    for (int i = 0; i < 36000; ++i)
        label += 0.1;
    EXPECT_EQ(label.str(), L"1:00:00");
    EXPECT_NEAR(label.AsSeconds(0), 3600.0, 1e-9);
    label += 0.1;
    EXPECT_EQ(label.str(), L"1:00:00.1");
}

TEST_F(LabelTimeTest, OriginsShiftTheValueUnlessItIsGiven)
{
    UseTwentyFourHourClock();
    LabelTime label;
    label.SetDecPlaces(1);
    const KVDTimeDate start = {100.0, 5.0};
    const KVDTimeDate origin = {90.0, 2.0};
    label.Set(kRelativeToDate, start, origin, 1.0, false);
    EXPECT_DOUBLE_EQ(label.AsUnits(), 14.0);
    EXPECT_EQ(label.GetFormatFlags(), LabelTime::kRelative);
    label.Set(kRelativeToDate, {100.0, kNotKnown}, origin, 1.0, false);
    EXPECT_DOUBLE_EQ(label.AsUnits(), 11.0);
    label.Set(kRelativeToDate, start, origin, 1.0, true);
    EXPECT_DOUBLE_EQ(label.AsUnits(), 1.0);

    label.Set(kTimeOfDay, {3600.0, 7200.0}, kNoDate, 60.0, false);
    EXPECT_EQ(label.str(), L"1:01:00");
    label.Set(kUniversal, {3600.0, 7200.0}, kNoDate, 60.0, false);
    EXPECT_EQ(label.str(), L"3:01:00");
    label.Set(kUniversal, {3600.0, kNotKnown}, kNoDate, 60.0, false);
    EXPECT_EQ(label.str(), L"1:01:00");

    // An origin this code does not know leaves the value alone.
    label.Set(7, start, origin, 99.0, false);
    EXPECT_EQ(label.GetMode().Get(), 7u);
    EXPECT_EQ(label.str(), L"1:01:00");
}

}  // namespace
