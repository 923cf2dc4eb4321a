// The range of a numeric parameter of a formula function.
#pragma once

namespace CalcEnums {

struct Range {
    double low;
    double high;

    // Bounds included; NaN passes, as it is neither above nor below.
    bool Admits(double value) const { return !(value > high) && !(value < low); }
};

}  // namespace CalcEnums
