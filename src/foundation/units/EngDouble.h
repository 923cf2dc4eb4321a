// A measured value in engineering notation: a mantissa of magnitude 1 to under 1000 times a
// power of ten that is a multiple of 3, with its unit name, printed in any SI prefix
// ("1.5 kV", "250 µs").
#pragma once

#include <string>

#include "foundation/units/UnitInfo.h"

namespace EngUtils {

class engdouble {
public:
    engdouble(double value, const std::wstring& units);
    // value is in the unit's prefixed units; it is kept in base units.
    engdouble(double value, const KVD::UnitInfo& unit);

    void SetValue(double value, const KVD::UnitInfo& unit);
    // The units text is kept as given: a prefix letter inside it is not split off.
    void SetValue(double value, const std::wstring& units);

    // The power of ten of a prefix letter ("u" stands for micro too); 0 for anything else.
    static int GetExponent(wchar_t letter);
    // The letter of a power of ten; NUL when it has none (0 and non-multiples of 3 included).
    static wchar_t GetExponentPrefix(int exponent);

    // The value in the prefix of exponent (clamped to -24..24): in fixed notation with
    // decimals places when fixed, else with decimals significant digits (decimals < 0: the
    // stream's default). A fixed value that would round to zero prints unsigned. With a units
    // text (units, else the stored one): a space, the prefix letter and the units follow.
    std::wstring ToScaledString(int exponent, int decimals, bool fixed, const std::wstring& units,
                                bool showPoint) const;

    double Mantissa() const { return mValue; }
    int Exponent() const { return mExponent; }
    const std::wstring& Units() const { return mUnits; }

private:
    double mValue = 0.0;
    int mExponent = 0;
    std::wstring mUnits;
};

}  // namespace EngUtils
