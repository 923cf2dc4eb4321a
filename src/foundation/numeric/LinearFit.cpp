#include "foundation/numeric/LinearFit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ExtLib {
namespace {

bool Counts(double x, double y) {
    return std::isfinite(x) && std::isfinite(y);
}

// 1 − residual sum of squares / total sum of squares, for the line through (0, c).
double FixedInterceptR2(const std::vector<double>& y, const std::vector<double>& x, size_t count, double slope,
                        double c, double meanY) {
    double residual = 0, total = 0;
    for (size_t i = 0; i < count; ++i) {
        if (!Counts(x[i], y[i]))
            continue;
        double r = y[i] - (slope * x[i] + c), t = y[i] - meanY;
        residual += r * r;
        total += t * t;
    }
    return 1 - residual / total;
}

}  // namespace

void LinearFitSums::Add(double x, double y) {
    if (!Counts(x, y))
        return;
    mN += 1;
    mX += x;
    mY += y;
    mXX += x * x;
    mYY += y * y;
    mXY += x * y;
}

bool LinearFitSums::Fit(std::vector<double>& coefficients, double* r2) const {
    return Solve(false, 0.0, coefficients, r2, nullptr, nullptr);
}

bool LinearFitSums::Solve(bool fixIntercept, double intercept, std::vector<double>& coefficients, double* r2,
                          const std::vector<double>* y, const std::vector<double>* x) const {
    if (mN < 2)
        return false;
    const double meanX = mX / mN, meanY = mY / mN;
    const double sxx = mXX - mN * meanX * meanX, syy = mYY - mN * meanY * meanY;
    const double epsilon = std::numeric_limits<double>::epsilon();
    if (!(std::fabs(sxx) > epsilon) || !(std::fabs(syy) > epsilon))
        return false;

    double slope, r2Value;
    if (fixIntercept) {
        if (meanX == 0)
            return false;  // no line through (0, c) and a mean point above it
        slope = (meanY - intercept) / meanX;
        r2Value = FixedInterceptR2(*y, *x, std::min(y->size(), x->size()), slope, intercept, meanY);
    } else {
        const double sxy = mXY - mN * meanX * meanY;
        slope = sxy / sxx;
        intercept = meanY - slope * meanX;
        r2Value = sxy * sxy / (sxx * syy);
    }
    if (r2)
        *r2 = r2Value;
    coefficients.assign({intercept, slope});
    return true;
}

bool linear_fit_series(const std::vector<double>& y, const std::vector<double>& x, bool fixIntercept,
                       double intercept, std::vector<double>& coefficients, double* r2) {
    const size_t count = std::min(y.size(), x.size());
    LinearFitSums sums;
    for (size_t i = 0; i < count; ++i)
        sums.Add(x[i], y[i]);
    return sums.Solve(fixIntercept, intercept, coefficients, r2, &y, &x);
}

}  // namespace ExtLib
