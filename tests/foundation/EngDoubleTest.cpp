// Engineering notation: which prefix a value takes across the SI range, and its text in any
// prefix, including zero, negatives, NaN and the infinities.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "foundation/units/EngDouble.h"
#include "foundation/units/UnitInfo.h"

namespace {

using EngUtils::engdouble;

constexpr double kInf = std::numeric_limits<double>::infinity();
const wchar_t kMicro = L'\u00B5';

TEST(EngDouble, EveryMagnitudeTakesItsPrefix)
{
    // 1.5, 15 and 150 times each power of ten from 10^-24 to 10^24.
    for (int k = -24; k <= 24; ++k) {
        const double v = 1.5 * std::pow(10.0, k);
        const engdouble value(v, L"V");
        const int e = 3 * static_cast<int>(std::floor(k / 3.0));
        EXPECT_EQ(value.Exponent(), e) << "1.5e" << k;
        EXPECT_NEAR(value.Mantissa(), 1.5 * std::pow(10.0, k - e), 1e-12) << "1.5e" << k;
        const engdouble negative(-v, L"V");
        EXPECT_EQ(negative.Exponent(), e);
        EXPECT_NEAR(negative.Mantissa(), -value.Mantissa(), 1e-12);
    }
}

TEST(EngDouble, PowersOfTenStartTheirPrefix)
{
    // log10 of these may round either way; the mantissa must still be 1, 10 or 100.
    for (int k = -24; k <= 24; ++k) {
        const engdouble value(std::pow(10.0, k), L"s");
        EXPECT_GE(std::fabs(value.Mantissa()), 1.0) << "1e" << k;
        EXPECT_LT(std::fabs(value.Mantissa()), 1000.0) << "1e" << k;
        EXPECT_EQ(value.Exponent() % 3, 0);
        EXPECT_NEAR(value.Mantissa() * std::pow(10.0, value.Exponent()), std::pow(10.0, k),
                    std::pow(10.0, k) * 1e-12);
    }
    // Just below a power of ten stays in the lower prefix.
    const engdouble below(std::nextafter(1000.0, 0.0), L"V");
    EXPECT_EQ(below.Exponent(), 0);
    EXPECT_LT(below.Mantissa(), 1000.0);
}

TEST(EngDouble, NormalisesTheEdgesOfTheDoubleRange)
{
    for (double v : {std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
                     std::numeric_limits<double>::denorm_min(), 1e-320}) {
        const engdouble value(v, L"");
        EXPECT_TRUE(std::isfinite(value.Mantissa())) << v;
        EXPECT_GE(value.Mantissa(), 1.0) << v;
        EXPECT_LT(value.Mantissa(), 1000.0) << v;
    }
    EXPECT_EQ(engdouble(1.7976931348623157e308, L"").Exponent(), 306);
    EXPECT_EQ(engdouble(4.9e-324, L"").Exponent(), -324);
}

TEST(EngDouble, ZeroNanAndInfinitiesHaveNoExponentAndValuesInPrefixedUnitsAreKeptInBaseUnits)
{
    for (double v : {0.0, -0.0, kInf, -kInf, std::nan("")})
        EXPECT_EQ(engdouble(v, L"V").Exponent(), 0) << v;
    const engdouble value(0.0025, L"V");
    EXPECT_DOUBLE_EQ(value.Mantissa(), 2.5);
    EXPECT_EQ(value.Exponent(), -3);
    const engdouble millivolts(5.0, KVD::UnitInfo(0, kUnitPrefixMilli, L"V"));
    EXPECT_DOUBLE_EQ(millivolts.Mantissa(), 5.0);
    EXPECT_EQ(millivolts.Exponent(), -3);
    EXPECT_EQ(millivolts.Units(), L"V");
}

TEST(EngDouble, TextsInAnyPrefix)
{
    const std::wstring micro(1, kMicro);
    const struct {
        engdouble value;
        int exponent;
        int digits;  // decimals when fixed, significant digits otherwise
        bool fixed;
        const wchar_t* units;
        bool point;
        std::wstring expected;
    } cases[] = {
        {engdouble(0.0, L"V"), 0, 2, true, L"", false, L"0.00 V"},
        {engdouble(-0.0, L"V"), -3, 2, true, L"", false, L"0.00 mV"},
        {engdouble(kInf, L"V"), 3, 2, true, L"", false, L"inf kV"},
        {engdouble(-kInf, L"V"), -6, 2, true, L"", false, L"-inf " + micro + L"V"},
        {engdouble(std::nan(""), L"V"), 0, 2, true, L"", false, L"nan V"},
        {engdouble(-std::nan(""), L"V"), 0, 2, true, L"", false, L"nan V"},
        {engdouble(kInf, L""), 0, -1, false, L"", false, L"inf"},
        {engdouble(0.0025, L"V"), -3, 2, true, L"", false, L"2.50 mV"},
        {engdouble(0.0025, L"V"), -6, 0, true, L"", false, L"2500 " + micro + L"V"},
        {engdouble(0.0025, L"V"), 0, 4, true, L"", false, L"0.0025 V"},
        // 1 is no multiple of 3: the value is scaled by 10^-1 and has no letter.
        {engdouble(0.0025, L"V"), 1, 5, true, L"", false, L"0.00025 V"},
        // Beyond yotta and yocto: clamped to them.
        {engdouble(2e24, L"g"), 30, 1, true, L"", false, L"2.0 Yg"},
        {engdouble(2e-24, L"g"), -30, 1, true, L"", false, L"2.0 yg"},
        // Small fixed negatives print unsigned.
        {engdouble(-0.001, L""), 0, 2, true, L"", false, L"0.00"},
        {engdouble(-0.004, L"A"), 0, 2, true, L"", false, L"0.00 A"},
        {engdouble(-0.006, L"A"), 0, 2, true, L"", false, L"-0.01 A"},
        {engdouble(-1500, L"Pa"), 3, 1, true, L"", false, L"-1.5 kPa"},
        // Without any units text there is neither a space nor a letter; a given text replaces
        // the stored one; the stored text is kept whole ("mV" is a unit name here).
        {engdouble(1500, L""), 3, -1, false, L"", false, L"1.5"},
        {engdouble(1500, L"V"), 3, -1, false, L"Hz", false, L"1.5 kHz"},
        {engdouble(0.5, L"mV"), -3, -1, false, L"", false, L"500 mmV"},
        // General notation counts significant digits; the point may be forced.
        {engdouble(123456, L"V"), 3, 4, false, L"", false, L"123.5 kV"},
        {engdouble(2, L"V"), 0, 3, false, L"", true, L"2.00 V"},
        // Values in prefixed units; no prefix and the unknown prefix take the value as it is.
        {engdouble(2.5, KVD::UnitInfo(0, kUnitPrefixKilo, L"Pa")), 0, 0, true, L"", false, L"2500 Pa"},
        {engdouble(250, KVD::UnitInfo(0, kUnitPrefixMicro, L"s")), -3, 2, true, L"", false, L"0.25 ms"},
        {engdouble(7, KVD::UnitInfo::kDefaultUnit), 0, 0, true, L"", false, L"7 V"},
        {engdouble(7, KVD::UnitInfo(0, kUnitPrefixUnknown, L"V")), 0, 0, true, L"", false, L"7 V"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value.ToScaledString(c.exponent, c.digits, c.fixed, c.units, c.point), c.expected) << c.expected;
}

TEST(EngDouble, ExponentsAndLettersMapBothWays)
{
    const wchar_t letters[] = {L'y', L'z', L'a', L'f', L'p', L'n', kMicro, L'm', L'\0',
                               L'k', L'M', L'G', L'T', L'P', L'E', L'Z', L'Y'};
    for (int i = 0; i < 17; ++i) {
        const int exponent = -24 + 3 * i;
        EXPECT_EQ(engdouble::GetExponentPrefix(exponent), letters[i]) << exponent;
        EXPECT_EQ(engdouble::GetExponent(letters[i]), exponent) << exponent;
    }
    EXPECT_EQ(engdouble::GetExponent(L'u'), -6);
    for (wchar_t other : {L'K', L'x', L'h', L'?', L' '})
        EXPECT_EQ(engdouble::GetExponent(other), 0) << int(other);
    for (int exponent : {1, -1, 2, 27, -27, 300})
        EXPECT_EQ(engdouble::GetExponentPrefix(exponent), L'\0') << exponent;
}

}  // namespace
