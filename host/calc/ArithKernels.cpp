#include "host/calc/ArithKernels.h"

#include <cmath>

namespace HostCalc {
namespace {

constexpr double kDegree = 0.017453292519943295;
constexpr double kPi = 3.141592653589793;

double Threshold(double a, double b) { return a < b ? 0.0 : 1.0; }

// One pass over the block per operation, the operation chosen outside the loop so that the
// compiler can vectorise it.
template <class F>
void Map(float* x, size_t n, F f)
{
    for (size_t i = 0; i < n; ++i)
        x[i] = static_cast<float>(f(static_cast<double>(x[i])));
}

template <class F>
void Zip(float* a, const float* b, size_t n, F f)
{
    for (size_t i = 0; i < n; ++i)
        a[i] = static_cast<float>(f(static_cast<double>(a[i]), static_cast<double>(b[i])));
}

}  // namespace

bool IsBinaryOp(int kind) { return kind >= 23 && kind <= 30; }

double BinaryOp(int kind, double a, double b)
{
    switch (kind) {
    case 23: return a + b;
    case 24: return a - b;
    case 25: return a * b;
    case 26: return a / b;
    case 27: return std::pow(a, b);
    case 28: return std::fmod(a, b);
    case 29: return Threshold(a, b);
    case 30: return std::atan2(a, b);
    default: return std::nan("");
    }
}

void BinaryOpBlock(int kind, float* a, const float* b, size_t n)
{
    switch (kind) {
    case 23: Zip(a, b, n, [](double x, double y) { return x + y; }); break;
    case 24: Zip(a, b, n, [](double x, double y) { return x - y; }); break;
    case 25: Zip(a, b, n, [](double x, double y) { return x * y; }); break;
    case 26: Zip(a, b, n, [](double x, double y) { return x / y; }); break;
    default: Zip(a, b, n, [kind](double x, double y) { return BinaryOp(kind, x, y); }); break;
    }
}

bool IsUnaryOp(int kind) { return kind >= 7 && kind <= 21; }

double UnaryOp(int kind, double x, double c)
{
    switch (kind) {
    case 7: return -x;
    case 8: return x + c;
    case 9: return x * c;
    case 10: return c - x;
    case 11: return x - c;
    case 12: return c / x;
    case 13: return x / c;
    case 14: return std::pow(c, x);
    case 15: return std::pow(x, c);
    case 16: return std::fmod(x, c);
    case 17: return std::fmod(c, x);
    case 18: return Threshold(x, c);
    case 19: return Threshold(c, x);
    case 20: return std::atan2(x, c);
    case 21: return std::atan2(c, x);
    default: return std::nan("");
    }
}

void UnaryOpBlock(int kind, float* x, double c, size_t n)
{
    switch (kind) {
    case 7: Map(x, n, [](double v) { return -v; }); break;
    case 8: Map(x, n, [c](double v) { return v + c; }); break;
    case 9: Map(x, n, [c](double v) { return v * c; }); break;
    case 10: Map(x, n, [c](double v) { return c - v; }); break;
    case 11: Map(x, n, [c](double v) { return v - c; }); break;
    case 12: Map(x, n, [c](double v) { return c / v; }); break;
    case 13: Map(x, n, [c](double v) { return v / c; }); break;
    case 18: Map(x, n, [c](double v) { return Threshold(v, c); }); break;
    default: Map(x, n, [kind, c](double v) { return UnaryOp(kind, v, c); }); break;
    }
}

bool IsStdFunc(int number) { return number >= 1 && number <= 21; }

double StdFunc(int number, double x)
{
    switch (number) {
    case 1: return std::sin(x);
    case 2: return std::cos(x);
    case 3: return std::tan(x);
    case 4: return std::asin(x);
    case 5: return std::acos(x);
    case 6: return std::atan(x);
    case 7: return std::log(x);
    case 8: return std::log10(x);
    case 9: return std::exp(x);
    case 10: return x < 0 ? -1.0 : 1.0;
    case 11: return std::sqrt(x);
    case 12: return x < 0 ? -x : x;
    case 13: return x * kDegree;
    case 14: return x / kDegree;
    case 15: return std::floor(x + 0.5);
    case 16: return x < 0 ? std::ceil(x) : std::floor(x);
    // A real value is a complex one with no imaginary part.
    case 17: return x;
    case 18: return std::isnan(x) ? x : (x < 0 ? kPi : 0.0);
    case 19: return x * x;
    case 20: return x;
    case 21: return 0.0;
    default: return std::nan("");
    }
}

void StdFuncBlock(int number, float* x, size_t n)
{
    Map(x, n, [number](double v) { return StdFunc(number, v); });
}

}  // namespace HostCalc
