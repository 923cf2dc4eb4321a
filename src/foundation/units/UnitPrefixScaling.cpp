#include "foundation/units/UnitPrefixScaling.h"

namespace {

constexpr wchar_t kNoBreakSpace = L'\u00A0';

}  // namespace

const wchar_t UnitPrefixScaling::sPrefixLetterTable[kUnitPrefixCount] = {
    L'?', L'\0', L'a', L'f', L'p', L'n', kMicroSign, L'm', L'\0', L'k', L'M', L'G', L'T', L'P', L'E',
};

const double UnitPrefixScaling::sPrefixScaleTable[kUnitPrefixCount] = {
    0.0, 1.0, 1e18, 1e15, 1e12, 1e9, 1e6, 1e3, 1.0, 1e-3, 1e-6, 1e-9, 1e-12, 1e-15, 1e-18,
};

// Entry i is the letter whose code is i modulo 32: a=1, f=6, k=11, m=13, n=14, p=16, u=21.
const double UnitPrefixScaling::sLowerCaseScaleTable[32] = {
    0, 1e18, 0, 0, 0, 0, 1e15, 0, 0, 0, 0, 1e-3, 0, 1e3, 1e9, 0,
    1e12, 0, 0, 0, 0, 1e6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};

// E=5, G=7, M=13, P=16, T=20.
const double UnitPrefixScaling::sUpperCaseScaleTable[32] = {
    0, 0, 0, 0, 0, 1e-18, 0, 1e-9, 0, 0, 0, 0, 0, 1e-6, 0, 0,
    1e-15, 0, 0, 0, 1e-12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};

double UnitPrefixScaling::sScalingFromPrefix(UnitPrefix prefix)
{
    return prefix >= kUnitPrefixNone && prefix < kUnitPrefixCount ? sPrefixScaleTable[prefix] : 1.0;
}

double UnitPrefixScaling::sScaleUnitsToPrefixedUnits(wchar_t letter)
{
    if (letter == L'\0' || letter == kNoBreakSpace)
        return 1.0;
    if (letter == kMicroSign)
        return 1e6;
    // Only ASCII letters index the tables: the modulo would map other letters (a-acute is
    // 0xE1) onto real prefixes.
    if (letter >= L'a' && letter <= L'z')
        return sLowerCaseScaleTable[letter % 32];
    if (letter >= L'A' && letter <= L'Z')
        return sUpperCaseScaleTable[letter % 32];
    return 0.0;
}

double UnitPrefixScaling::sScaleUnitsToPrefixedUnits(UnitPrefix prefix)
{
    return sScaleUnitsToPrefixedUnits(sLetterFromPrefix(prefix));
}

wchar_t UnitPrefixScaling::sLetterFromPrefix(UnitPrefix prefix)
{
    // A corrupt stored index must not read past the table.
    return sPrefixLetterTable[prefix < kUnitPrefixCount ? prefix : kUnitPrefixUnknown];
}

KVD::String UnitPrefixScaling::sStringFromPrefix(UnitPrefix prefix)
{
    const wchar_t letter = sLetterFromPrefix(prefix);
    return letter == L'\0' ? KVD::String() : KVD::String(1u, letter);
}
