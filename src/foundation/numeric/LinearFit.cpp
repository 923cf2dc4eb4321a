#include "foundation/numeric/LinearFit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ExtLib {
namespace {

bool Counts(double x, double y) {
    return std::isfinite(x) && std::isfinite(y);
}

struct Sums {
    double n = 0, x = 0, y = 0, xx = 0, yy = 0, xy = 0;
};

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

bool linear_fit_series(const std::vector<double>& y, const std::vector<double>& x, bool fixIntercept,
                       double intercept, std::vector<double>& coefficients, double* r2) {
    const size_t count = std::min(y.size(), x.size());
    Sums s;
    for (size_t i = 0; i < count; ++i) {
        if (!Counts(x[i], y[i]))
            continue;
        s.n += 1;
        s.x += x[i];
        s.y += y[i];
        s.xx += x[i] * x[i];
        s.yy += y[i] * y[i];
        s.xy += x[i] * y[i];
    }
    if (s.n < 2)
        return false;
    const double meanX = s.x / s.n, meanY = s.y / s.n;
    const double sxx = s.xx - s.n * meanX * meanX, syy = s.yy - s.n * meanY * meanY;
    const double epsilon = std::numeric_limits<double>::epsilon();
    if (!(std::fabs(sxx) > epsilon) || !(std::fabs(syy) > epsilon))
        return false;

    double slope, r2Value;
    if (fixIntercept) {
        if (meanX == 0)
            return false;  // no line through (0, c) and a mean point above it
        slope = (meanY - intercept) / meanX;
        r2Value = FixedInterceptR2(y, x, count, slope, intercept, meanY);
    } else {
        const double sxy = s.xy - s.n * meanX * meanY;
        slope = sxy / sxx;
        intercept = meanY - slope * meanX;
        r2Value = sxy * sxy / (sxx * syy);
    }
    if (r2)
        *r2 = r2Value;
    coefficients.assign({intercept, slope});
    return true;
}

}  // namespace ExtLib
