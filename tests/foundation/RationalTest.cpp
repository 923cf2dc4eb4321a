#include <gtest/gtest.h>

#include <cmath>

#include "foundation/numeric/Rational.h"

using Rational = KVDRationalImp::rational<long long>;

namespace {

void ExpectFraction(const Rational& r, long long num, long long den) {
    EXPECT_EQ(r.numerator(), num);
    EXPECT_EQ(r.denominator(), den);
}

void ExpectDoubleAs(double x, int num, int den) {
    int n = 0, d = 0;
    KVD::DoubleToRational(x, n, d);
    EXPECT_EQ(n, num) << x;
    EXPECT_EQ(d, den) << x;
}

}  // namespace

TEST(Rational, NormalizesToLowestTermsWithPositiveDenominator) {
    ExpectFraction(Rational(6, -4).normalize(), -3, 2);
    ExpectFraction(Rational(0, 7).normalize(), 0, 1);
    ExpectFraction(Rational(-10, -15).normalize(), 2, 3);
    ExpectFraction(Rational(5), 5, 1);
    try {
        Rational(1, 0).normalize();
        FAIL() << "a zero denominator must throw";
    } catch (const KVDRationalImp::bad_rational& e) {
        EXPECT_STREQ(e.what(), "bad rational: zero denominator");
    }
}

TEST(Rational, MultipliesAndDividesWithoutIntermediateOverflow) {
    Rational a(2, 3);
    a *= Rational(9, 4);
    ExpectFraction(a, 3, 2);
    Rational b(1, 2);
    b /= Rational(-1, 4);
    ExpectFraction(b, -2, 1);
    Rational zero(0, 1);
    zero /= Rational(3, 5);
    ExpectFraction(zero, 0, 1);
    EXPECT_THROW(b /= Rational(0, 1), KVDRationalImp::bad_rational);

    // Each operand is near 2^62; multiplying first would overflow, cancelling first does not.
    const long long big = 1LL << 61;
    Rational c(big, 3);
    c *= Rational(3, big);
    ExpectFraction(c, 1, 1);
    Rational d(big, 5);
    d /= Rational(big, 7);
    ExpectFraction(d, 7, 5);
}

TEST(Rational, DoubleToRationalByContinuedFraction) {
    ExpectDoubleAs(0.75, 3, 4);
    ExpectDoubleAs(-2.5, -5, 2);
    ExpectDoubleAs(3.0, 3, 1);
    ExpectDoubleAs(0.0, 0, 1);
    ExpectDoubleAs(0.1, 1, 10);
    // pi's convergents go 355/113, ... until the terms would pass 32 bits.
    int n = 0, d = 0;
    KVD::DoubleToRational(M_PI, n, d);
    EXPECT_NEAR(double(n) / d, M_PI, 1e-15);
    EXPECT_GT(d, 113);
    // Beyond the 32-bit range the largest term stands in; NaN gives zero.
    ExpectDoubleAs(1e12, 0x7FFFFFFE, 1);
    ExpectDoubleAs(-1e12, -0x7FFFFFFE, 1);
    ExpectDoubleAs(std::nan(""), 0, 1);
}
