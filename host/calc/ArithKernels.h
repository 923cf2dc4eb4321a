// The arithmetic of the host's arithmetic enumerators, on single values and on blocks. The
// operation codes are the formula compiler's symbol kinds: 23-30 the two-operand operators,
// 7 negation and 8-21 an operator with one constant operand, and the standard function
// numbers 1-16. Samples are floats; every operation is computed in double and rounded once.
#pragma once

#include <cstddef>

namespace HostCalc {

// Two-operand operator of kind 23 (+) to 30 (atan2). False for any other kind.
bool IsBinaryOp(int kind);
double BinaryOp(int kind, double a, double b);
// a[i] = a[i] op b[i].
void BinaryOpBlock(int kind, float* a, const float* b, size_t n);

// Negation (7) or an operator with the constant c (8-21). False for any other kind.
bool IsUnaryOp(int kind);
double UnaryOp(int kind, double x, double c);
void UnaryOpBlock(int kind, float* x, double c, size_t n);

// Standard functions 1-16 (sin ... int) and the complex ones 17-21 (conj, arg, norm, real,
// imag) with their meaning for a real value. False for any other number.
bool IsStdFunc(int number);
double StdFunc(int number, double x);
void StdFuncBlock(int number, float* x, size_t n);

// 1 when low <= x < high, else 0 (a NaN anywhere gives 0).
inline double Window(double x, double low, double high) { return (low <= x && x < high) ? 1.0 : 0.0; }

}  // namespace HostCalc
