#include "foundation/units/EngDouble.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "foundation/units/UnitPrefixScaling.h"

namespace EngUtils {
namespace {

constexpr int kLowestExponent = -24;
constexpr int kHighestExponent = 24;

// Letters of the exponents -24, -21, ... 24, 0 having none.
constexpr wchar_t kExponentLetters[] = {
    L'y', L'z', L'a', L'f', L'p', L'n', kMicroSign, L'm', L'\0', L'k', L'M', L'G', L'T', L'P', L'E', L'Z', L'Y',
};

// value x 10^n with one rounding where the power is exact (up to 10^22); beyond, in steps, so
// that exponents near the ends of the double range (1e-320 needs 10^321) neither overflow nor
// flush to zero on the way.
double ScaleByPowerOfTen(double value, int n)
{
    constexpr int kExactPowers = 22;
    if (n > kExactPowers || n < -kExactPowers) {
        const int half = n / 2;
        return ScaleByPowerOfTen(ScaleByPowerOfTen(value, half), n - half);
    }
    const double power = std::pow(10.0, std::abs(n));
    return n >= 0 ? value * power : value / power;
}

}  // namespace

engdouble::engdouble(double value, const std::wstring& units) { SetValue(value, units); }

engdouble::engdouble(double value, const KVD::UnitInfo& unit) { SetValue(value, unit); }

void engdouble::SetValue(double value, const KVD::UnitInfo& unit)
{
    const int e = GetExponent(UnitPrefixScaling::sLetterFromPrefix(unit.mPrefix));
    SetValue(ScaleByPowerOfTen(value, e), std::wstring(unit.mName.c_str(), unit.mName.length()));
}

void engdouble::SetValue(double value, const std::wstring& units)
{
    mUnits = units;
    mValue = value;
    mExponent = 0;
    // Zero, NaN and the infinities have no power of ten: they stay as they are, unscaled.
    if (value == 0.0 || !std::isfinite(value))
        return;
    const int k = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    int e = 3 * (k / 3);
    double mantissa = ScaleByPowerOfTen(value, -e);
    if (std::fabs(mantissa) < 1.0) {
        mantissa *= 1000.0;
        e -= 3;
    }
    // log10 may round up to the next integer just below a power of ten, or down at one.
    if (std::fabs(mantissa) >= 1000.0) {
        mantissa /= 1000.0;
        e += 3;
    }
    mValue = mantissa;
    mExponent = e;
}

int engdouble::GetExponent(wchar_t letter)
{
    if (letter == L'\0')
        return 0;
    if (letter == L'u')
        return -6;
    for (int i = 0; i < int(std::size(kExponentLetters)); ++i) {
        if (kExponentLetters[i] == letter)
            return kLowestExponent + 3 * i;
    }
    return 0;
}

wchar_t engdouble::GetExponentPrefix(int exponent)
{
    if (exponent < kLowestExponent || exponent > kHighestExponent || exponent % 3 != 0)
        return L'\0';
    return kExponentLetters[(exponent - kLowestExponent) / 3];
}

std::wstring engdouble::ToScaledString(int exponent, int decimals, bool fixed, const std::wstring& units,
                                       bool showPoint) const
{
    exponent = std::clamp(exponent, kLowestExponent, kHighestExponent);
    const std::wstring& unitsText = units.empty() ? mUnits : units;
    double x = ScaleByPowerOfTen(mValue, mExponent - exponent);
    if (std::isnan(x))
        x = std::fabs(x);  // the sign of a NaN means nothing: never print "-nan"

    std::wostringstream out;
    if (showPoint)
        out.setf(std::ios::showpoint);
    out.unsetf(std::ios::floatfield);
    if (fixed) {
        out.setf(std::ios::fixed, std::ios::floatfield);
        if (decimals >= 0 && std::fabs(ScaleByPowerOfTen(x, decimals)) < 0.5)
            x = 0.0;
    }
    if (decimals >= 0)
        out.precision(decimals);
    out << x;
    if (!unitsText.empty()) {
        out << L' ';
        if (const wchar_t letter = GetExponentPrefix(exponent))
            out << letter;
        out << unitsText;
    }
    return out.str();
}

}  // namespace EngUtils
