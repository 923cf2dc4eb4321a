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

bool LinearFitSums::Spread(double& meanX, double& meanY, double& sxx, double& syy) const {
    if (mN < 2)
        return false;
    meanX = mX / mN;
    meanY = mY / mN;
    sxx = mXX - mN * meanX * meanX;
    syy = mYY - mN * meanY * meanY;
    const double epsilon = std::numeric_limits<double>::epsilon();
    return std::fabs(sxx) > epsilon && std::fabs(syy) > epsilon;
}

bool LinearFitSums::Fit(std::vector<double>& coefficients, double* r2) const {
    double meanX, meanY, sxx, syy;
    if (!Spread(meanX, meanY, sxx, syy))
        return false;
    const double sxy = mXY - mN * meanX * meanY;
    const double slope = sxy / sxx;
    if (r2)
        *r2 = sxy * sxy / (sxx * syy);
    coefficients.assign({meanY - slope * meanX, slope});
    return true;
}

bool linear_fit_series(const std::vector<double>& y, const std::vector<double>& x, bool fixIntercept,
                       double intercept, std::vector<double>& coefficients, double* r2) {
    const size_t count = std::min(y.size(), x.size());
    LinearFitSums sums;
    for (size_t i = 0; i < count; ++i)
        sums.Add(x[i], y[i]);
    if (!fixIntercept)
        return sums.Fit(coefficients, r2);
    double meanX, meanY, sxx, syy;
    if (!sums.Spread(meanX, meanY, sxx, syy))
        return false;
    if (meanX == 0)
        return false;  // no line through (0, c) and a mean point above it
    const double slope = (meanY - intercept) / meanX;
    if (r2)
        *r2 = FixedInterceptR2(y, x, count, slope, intercept, meanY);
    coefficients.assign({intercept, slope});
    return true;
}

}  // namespace ExtLib
