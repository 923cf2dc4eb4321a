#include "foundation/numeric/Step125.h"

#include <cmath>

namespace {

// The decade of x and its leading digit, rounded.
struct Decade {
    double exponent;
    double unit;
    int mantissa;
};

Decade DecadeOf(double x) {
    double e = std::floor(std::log10(x));
    double unit = std::pow(10.0, e);
    return {e, unit, static_cast<int>(x / unit + 0.5)};
}

}  // namespace

double inc125(double* x) {
    Decade d = DecadeOf(*x);
    if (d.mantissa < 2)
        *x = 2 * d.unit;
    else if (d.mantissa < 5)
        *x = 5 * d.unit;
    else if (d.mantissa < 10)
        *x = 10 * d.unit;
    else
        *x = 20 * d.unit;
    return *x;
}

double dec125(double* x) {
    Decade d = DecadeOf(*x);
    if (d.mantissa >= 6)
        *x = 5 * d.unit;
    else if (d.mantissa >= 3)
        *x = 2 * d.unit;
    else if (d.mantissa == 2)
        *x = d.unit;
    else if (d.mantissa == 1)
        *x = 5 * std::pow(10.0, d.exponent - 1);
    else
        *x = d.mantissa * d.unit;
    return *x;
}
