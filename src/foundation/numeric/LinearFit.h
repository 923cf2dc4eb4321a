// Straight-line least-squares fit of a series.
#pragma once

#include <vector>

namespace ExtLib {

// Fits y = intercept + slope × x over the index pairs where both values are finite (x is read
// up to the length of both). With fixIntercept the line goes through (0, intercept) and the
// mean point. On success coefficients becomes [intercept, slope], *r2 (when given) the
// coefficient of determination, and the result is true. Fewer than two pairs, x or y without
// spread, or a fixed intercept over x values averaging 0 give false and leave both untouched.
bool linear_fit_series(const std::vector<double>& y, const std::vector<double>& x, bool fixIntercept,
                       double intercept, std::vector<double>& coefficients, double* r2);

}  // namespace ExtLib
