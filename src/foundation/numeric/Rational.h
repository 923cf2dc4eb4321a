// Fractions of 64-bit integers, kept exact where doubles would drift (zoom factors such as
// ticks per pixel).
#pragma once

#include <stdexcept>

namespace KVDRationalImp {

class bad_rational : public std::logic_error {
public:
    bad_rational() : std::logic_error("bad rational: zero denominator") {}
};

template <class Int>
class rational {
public:
    rational() = default;
    rational(Int n) : mNum(n) {}  // NOLINT: whole numbers convert
    rational(Int n, Int d) : mNum(n), mDen(d) {}  // as given: see normalize

    Int numerator() const { return mNum; }
    Int denominator() const { return mDen; }

    // Lowest terms with a positive denominator; zero is 0/1.
    rational& normalize() {
        if (mDen == 0)
            throw bad_rational();
        if (mNum == 0) {
            mDen = 1;
            return *this;
        }
        Int g = gcd(mNum, mDen);
        mNum /= g;
        mDen /= g;
        if (mDen < 0) {
            mNum = -mNum;
            mDen = -mDen;
        }
        return *this;
    }

    // Common factors cancel before multiplying, so that lowest-terms operands stay in range.
    rational& operator*=(const rational& b) {
        Int g1 = gcd(mNum, b.mDen), g2 = gcd(b.mNum, mDen);
        mNum = (mNum / g1) * (b.mNum / g2);
        mDen = (mDen / g2) * (b.mDen / g1);
        return *this;
    }

    rational& operator/=(const rational& b) {
        if (b.mNum == 0)
            throw bad_rational();
        if (mNum == 0)
            return *this;
        Int g1 = gcd(mNum, b.mNum), g2 = gcd(b.mDen, mDen);
        mNum = (mNum / g1) * (b.mDen / g2);
        mDen = (mDen / g2) * (b.mNum / g1);
        if (mDen < 0) {
            mNum = -mNum;
            mDen = -mDen;
        }
        return *this;
    }

    bool operator==(const rational& o) const { return mNum == o.mNum && mDen == o.mDen; }
    bool operator!=(const rational& o) const { return !(*this == o); }

private:
    // By repeated remainder on absolute values; gcd(0, b) is |b|.
    static Int gcd(Int a, Int b) {
        a = a < 0 ? -a : a;
        b = b < 0 ? -b : b;
        while (b != 0) {
            Int r = a % b;
            a = b;
            b = r;
        }
        return a;
    }

    Int mNum = 0;
    Int mDen = 1;
};

}  // namespace KVDRationalImp

namespace KVD {

// The closest fraction of 32-bit terms that the continued fraction of x reaches in at most 20
// steps; the sign goes to the numerator.
void DoubleToRational(double x, int& numerator, int& denominator);

}  // namespace KVD
