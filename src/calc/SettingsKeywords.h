// The words that name a filter type or an integral type in an enumerator's settings text, and
// the reading of an integral's reset argument.
#pragma once

#include "foundation/KVDString.h"

namespace RateEnums {

enum FilterType {
    kLowpass = 0,
    kHighpass = 1,
    kNotch = 2,
    kNarrowBandpass = 3,
    kBandpass = 4,
    kBandstop = 5,
    kDecimator = 6,
};

// Any value outside 1-6 is a low-pass.
const wchar_t* sTypeToString(FilterType type);

}  // namespace RateEnums

struct IntegralSettings {
    enum IntegralType { kStandard = 0, kAbsolute = 1, kPositive = 2, kNegative = 3 };
    enum ResetMode { kResetOff = 0, kResetTimed = 1, kResetCycle = 2, kResetDecay = 3, kResetEvent = 4 };

    // Any value above 3 is the standard integral.
    static KVD::String TypeToString(IntegralType type);
    // Only the first three letters count, in any case: "Timed" and "TIMER" are both timed.
    static ResetMode StringToReset(const KVD::String& text);
};

namespace CalcEnumLegacyIntegral {

struct LegacyIntegralSettings {
    enum IntegralType { kStandard = 0, kAbsolute = 1, kPositive = 2, kNegative = 3 };

    static KVD::String TypeToString(IntegralType type);
};

}  // namespace CalcEnumLegacyIntegral
