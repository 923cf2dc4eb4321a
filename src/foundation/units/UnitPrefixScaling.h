// Conversions between unit prefixes, their letters and scale factors. A scale factor turns a
// value in base units into prefixed units: 1 V is 1000 mV, so milli scales by 1e3.
#pragma once

#include "foundation/KVDString.h"
#include "foundation/units/UnitPrefix.h"

class UnitPrefixScaling {
public:
    // Indexed by UnitPrefix; the unknown prefix is "?", the two unprefixed entries NUL.
    static const wchar_t sPrefixLetterTable[kUnitPrefixCount];
    static const double sPrefixScaleTable[kUnitPrefixCount];

    // The scale factor of prefixes 1 to 14; 1.0 for anything else, so that an unknown or
    // corrupt prefix never zeroes a value.
    static double sScalingFromPrefix(UnitPrefix prefix);

    // The scale factor of a prefix letter: NUL and the no-break space are "no prefix" (1.0),
    // "u" stands for micro, and anything that is not a known prefix letter gives 0.0.
    static double sScaleUnitsToPrefixedUnits(wchar_t letter);
    // The same for the letter of a prefix index (index 0 gives 0.0).
    static double sScaleUnitsToPrefixedUnits(UnitPrefix prefix);

    // The prefix letter; NUL for the unprefixed indexes, "?" for the unknown prefix and for
    // indexes past the table.
    static wchar_t sLetterFromPrefix(UnitPrefix prefix);
    // The prefix letter as a one-character text; the unprefixed indexes give an empty text.
    static KVD::String sStringFromPrefix(UnitPrefix prefix);

private:
    // 32 entries each, indexed by the letter's code modulo 32.
    static const double sLowerCaseScaleTable[32];
    static const double sUpperCaseScaleTable[32];
};
