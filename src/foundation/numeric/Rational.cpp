#include "foundation/numeric/Rational.h"

#include <cmath>

namespace KVD {
namespace {

constexpr long long kLargestTerm = 0x7FFFFFFE;
constexpr double kSmallestFraction = 4.656612877414201e-10;  // 2^-31

}  // namespace

void DoubleToRational(double x, int& numerator, int& denominator) {
    double r = std::fabs(x);
    if (std::isnan(r))
        r = 0;
    if (r > double(kLargestTerm))
        r = double(kLargestTerm);  // beyond 32 bits: the largest fraction there is
    long long a = static_cast<long long>(r);
    long long p = a, pPrev = 1, q = 1, qPrev = 0;
    for (int step = 0; step < 20; ++step) {
        double frac = r - double(a);
        if (frac < kSmallestFraction)
            break;
        r = 1 / frac;
        a = static_cast<long long>(r);
        // Stop before the next terms would pass the largest 32-bit term.
        if ((p > 0 && (kLargestTerm - pPrev) / p <= a) || (q > 0 && (kLargestTerm - qPrev) / q <= a))
            break;
        long long nextP = a * p + pPrev, nextQ = a * q + qPrev;
        pPrev = p;
        p = nextP;
        qPrev = q;
        q = nextQ;
    }
    numerator = static_cast<int>(x > 0 ? p : -p);
    denominator = static_cast<int>(q);
}

}  // namespace KVD
