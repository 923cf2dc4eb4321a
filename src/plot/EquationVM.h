// The stack machine that runs a compiled equation, for one t or for a block of them.
#pragma once

#include <vector>

#include <boost/variant.hpp>

namespace KVD {

// Code cells: an opcode, or the operand of kPush in the cell after it.
using CodeCell = boost::variant<int, double>;
using EquationCode = std::vector<CodeCell>;

enum EquationOp {
    kNegate,
    kAdd,
    kSubtract,
    kMultiply,
    kDivide,
    kModulo,  // a - floor(a / b) * b: the result takes the sign of b
    kPower,
    kSin,
    kCos,
    kTan,
    kSqrt,
    kLog10,
    kLn,
    kRound,  // floor(x + 0.5)
    kCeil,
    kFloor,
    kPushT,
    kPush,
};

class VM {
public:
    static constexpr int kStackSize = 4096;

    VM();

    // Runs code once with the given t and answers the top of the stack (NaN when the code
    // leaves nothing). A cell of the wrong kind throws boost::bad_get; code is trusted to stay
    // within the stack, which StackNeed checks once for a whole run.
    double Execute(double t, const EquationCode& code);
    // Runs code for n values of t at once, each stack entry a block of n doubles, so that every
    // instruction is one tight loop; StackNeed(code) * n must not exceed kStackSize. out
    // receives the n results.
    void Execute(const double* t, unsigned n, const EquationCode& code, double* out);

    // The deepest stack that code reaches, or -1 when it takes an operand that is not there.
    static int StackNeed(const EquationCode& code);

private:
    std::vector<double> mStack;
};

}  // namespace KVD
