// Straight-line least-squares fit of a series.
#pragma once

#include <cmath>
#include <vector>

namespace ExtLib {

// Fits y = intercept + slope × x over the index pairs where both values are finite (x is read
// up to the length of both). With fixIntercept the line goes through (0, intercept) and the
// mean point. On success coefficients becomes [intercept, slope], *r2 (when given) the
// coefficient of determination, and the result is true. Fewer than two pairs, x or y without
// spread, or a fixed intercept over x values averaging 0 give false and leave both untouched.
bool linear_fit_series(const std::vector<double>& y, const std::vector<double>& x, bool fixIntercept,
                       double intercept, std::vector<double>& coefficients, double* r2);

// The sums of that fit taken pair by pair, for a series too long to keep: pairs added in the
// order of the series give the free-intercept fit of linear_fit_series to the last bit.
class LinearFitSums {
public:
    // A pair where either value is not finite is left out.
    void Add(double x, double y)
    {
        if (!std::isfinite(x) || !std::isfinite(y))
            return;
        mN += 1;
        mX += x;
        mY += y;
        mXX += x * x;
        mYY += y * y;
        mXY += x * y;
    }

    // linear_fit_series without a fixed intercept, over the pairs added.
    bool Fit(std::vector<double>& coefficients, double* r2) const;
    // The means and the spreads of x and y; false for fewer than two pairs or a spread missing.
    bool Spread(double& meanX, double& meanY, double& sxx, double& syy) const;

private:

    double mN = 0, mX = 0, mY = 0, mXX = 0, mYY = 0, mXY = 0;
};

}  // namespace ExtLib
