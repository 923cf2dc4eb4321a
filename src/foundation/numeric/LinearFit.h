// Straight-line least-squares fit of a series.
#pragma once

#include <vector>

namespace ExtLib {

// The sums of a straight-line fit, taken one pair at a time, so that a long series need not be
// held: the free-intercept fit of the pairs added is that of linear_fit_series over them.
class LinearFitSums {
public:
    // A pair with a value that is not finite is left out.
    void Add(double x, double y);
    // As linear_fit_series without a fixed intercept.
    bool Fit(std::vector<double>& coefficients, double* r2) const;

private:
    friend bool linear_fit_series(const std::vector<double>&, const std::vector<double>&, bool, double,
                                  std::vector<double>&, double*);
    // The fixed intercept's r2 reads the series again: x and y are given with it.
    bool Solve(bool fixIntercept, double intercept, std::vector<double>& coefficients, double* r2,
               const std::vector<double>* y, const std::vector<double>* x) const;

    double mN = 0, mX = 0, mY = 0, mXX = 0, mYY = 0, mXY = 0;
};

// Fits y = intercept + slope × x over the index pairs where both values are finite (x is read
// up to the length of both). With fixIntercept the line goes through (0, intercept) and the
// mean point. On success coefficients becomes [intercept, slope], *r2 (when given) the
// coefficient of determination, and the result is true. Fewer than two pairs, x or y without
// spread, or a fixed intercept over x values averaging 0 give false and leave both untouched.
bool linear_fit_series(const std::vector<double>& y, const std::vector<double>& x, bool fixIntercept,
                       double intercept, std::vector<double>& coefficients, double* r2);

}  // namespace ExtLib
