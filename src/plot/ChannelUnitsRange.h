// A scale range of two doubles, high end first and low end second; (0, 0) means not set.
#pragma once

#include <cmath>
#include <limits>

struct ChannelYDataRange {
    double high = 0;
    double low = 0;
    bool operator==(const ChannelYDataRange& other) const { return high == other.high && low == other.low; }
    bool operator!=(const ChannelYDataRange& other) const { return !(*this == other); }
};

namespace ChannelUnitsRange {

// Invalid: never set (0, 0), the no-direction answer (largest, lowest), or NaN on either end.
inline bool RangeIsValid(double first, double second)
{
    if (std::isnan(first) || std::isnan(second))
        return false;
    if (first == std::numeric_limits<double>::max() || second == std::numeric_limits<double>::lowest())
        return false;
    return !(first == 0 && second == 0);
}

inline bool RangeIsValid(const ChannelYDataRange& range) { return RangeIsValid(range.high, range.low); }

}  // namespace ChannelUnitsRange
