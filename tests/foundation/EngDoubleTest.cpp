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

std::wstring Fixed(const engdouble& value, int exponent, int decimals)
{
    return value.ToScaledString(exponent, decimals, true, L"", false);
}

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

TEST(EngDouble, ZeroNanAndInfinitiesHaveNoExponent)
{
    for (double v : {0.0, -0.0, kInf, -kInf, std::nan("")}) {
        const engdouble value(v, L"V");
        EXPECT_EQ(value.Exponent(), 0) << v;
    }
    EXPECT_EQ(Fixed(engdouble(0.0, L"V"), 0, 2), L"0.00 V");
    EXPECT_EQ(Fixed(engdouble(-0.0, L"V"), -3, 2), L"0.00 mV");
    EXPECT_EQ(Fixed(engdouble(kInf, L"V"), 3, 2), L"inf kV");
    EXPECT_EQ(Fixed(engdouble(-kInf, L"V"), -6, 2), std::wstring(L"-inf ") + kMicro + L"V");
    EXPECT_EQ(Fixed(engdouble(std::nan(""), L"V"), 0, 2), L"nan V");
    EXPECT_EQ(Fixed(engdouble(-std::nan(""), L"V"), 0, 2), L"nan V");
    EXPECT_EQ(engdouble(kInf, L"").ToScaledString(0, -1, false, L"", false), L"inf");
}

TEST(EngDouble, PrintsInAnyPrefix)
{
    const engdouble value(0.0025, L"V");
    EXPECT_DOUBLE_EQ(value.Mantissa(), 2.5);
    EXPECT_EQ(value.Exponent(), -3);
    EXPECT_EQ(Fixed(value, -3, 2), L"2.50 mV");
    EXPECT_EQ(Fixed(value, -6, 0), std::wstring(L"2500 ") + kMicro + L"V");
    EXPECT_EQ(Fixed(value, 0, 4), L"0.0025 V");
    // 1 is no multiple of 3: the value is scaled by 10^-1 and has no letter.
    EXPECT_EQ(Fixed(value, 1, 5), L"0.00025 V");
    // 30 is beyond yotta and is clamped to it.
    EXPECT_EQ(engdouble(2e24, L"g").ToScaledString(30, 1, true, L"", false), L"2.0 Yg");
    EXPECT_EQ(engdouble(2e-24, L"g").ToScaledString(-30, 1, true, L"", false), L"2.0 yg");
}

TEST(EngDouble, SmallFixedNegativesPrintUnsigned)
{
    EXPECT_EQ(engdouble(-0.001, L"").ToScaledString(0, 2, true, L"", false), L"0.00");
    EXPECT_EQ(engdouble(-0.004, L"A").ToScaledString(0, 2, true, L"", false), L"0.00 A");
    EXPECT_EQ(engdouble(-0.006, L"A").ToScaledString(0, 2, true, L"", false), L"-0.01 A");
    EXPECT_EQ(engdouble(-1500, L"Pa").ToScaledString(3, 1, true, L"", false), L"-1.5 kPa");
}

TEST(EngDouble, UnitsTextDecidesTheSuffix)
{
    // Without any units text there is neither a space nor a letter.
    EXPECT_EQ(engdouble(1500, L"").ToScaledString(3, -1, false, L"", false), L"1.5");
    // A given units text replaces the stored one.
    EXPECT_EQ(engdouble(1500, L"V").ToScaledString(3, -1, false, L"Hz", false), L"1.5 kHz");
    // The stored text is kept whole: "mV" is a unit name here, not a prefix.
    EXPECT_EQ(engdouble(0.5, L"mV").ToScaledString(-3, -1, false, L"", false), L"500 mmV");
    // General notation counts significant digits; the point may be forced.
    EXPECT_EQ(engdouble(123456, L"V").ToScaledString(3, 4, false, L"", false), L"123.5 kV");
    EXPECT_EQ(engdouble(2, L"V").ToScaledString(0, 3, false, L"", true), L"2.00 V");
}

TEST(EngDouble, ValuesInPrefixedUnitsAreKeptInBaseUnits)
{
    const engdouble millivolts(5.0, KVD::UnitInfo(0, kUnitPrefixMilli, L"V"));
    EXPECT_DOUBLE_EQ(millivolts.Mantissa(), 5.0);
    EXPECT_EQ(millivolts.Exponent(), -3);
    EXPECT_EQ(millivolts.Units(), L"V");
    const engdouble kilopascal(2.5, KVD::UnitInfo(0, kUnitPrefixKilo, L"Pa"));
    EXPECT_EQ(Fixed(kilopascal, 0, 0), L"2500 Pa");
    const engdouble micro(250, KVD::UnitInfo(0, kUnitPrefixMicro, L"s"));
    EXPECT_EQ(Fixed(micro, -3, 2), L"0.25 ms");
    // No prefix, and the unknown prefix, take the value as it is.
    EXPECT_EQ(Fixed(engdouble(7, KVD::UnitInfo::kDefaultUnit), 0, 0), L"7 V");
    EXPECT_EQ(Fixed(engdouble(7, KVD::UnitInfo(0, kUnitPrefixUnknown, L"V")), 0, 0), L"7 V");
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
