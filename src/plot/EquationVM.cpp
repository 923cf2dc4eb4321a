#include "plot/EquationVM.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace KVD {
namespace {

// How many operands an opcode takes and how many results it leaves.
void StackEffect(int op, int& takes, int& leaves)
{
    if (op >= kAdd && op <= kPower) {
        takes = 2;
        leaves = 1;
    } else if (op == kPushT || op == kPush) {
        takes = 0;
        leaves = 1;
    } else if (op >= kNegate && op <= kFloor) {
        takes = 1;
        leaves = 1;
    } else {
        takes = 0;
        leaves = 0;
    }
}

// The second operand of a two-operand instruction: a block of the stack (or of t) or one value.
struct Block {
    const double* values;
    double operator[](unsigned i) const { return values[i]; }
};
struct Scalar {
    double value;
    double operator[](unsigned) const { return value; }
};

template <typename Operand, typename F>
void Combine(double* a, Operand b, unsigned n, F f)
{
    for (unsigned i = 0; i < n; ++i)
        a[i] = f(a[i], b[i]);
}

// Runs a two-operand instruction into a; false when op is none.
template <typename Operand>
bool Binary(int op, double* a, Operand b, unsigned n)
{
    switch (op) {
    case kAdd: Combine(a, b, n, [](double x, double y) { return x + y; }); return true;
    case kSubtract: Combine(a, b, n, [](double x, double y) { return x - y; }); return true;
    case kMultiply: Combine(a, b, n, [](double x, double y) { return x * y; }); return true;
    case kDivide: Combine(a, b, n, [](double x, double y) { return x / y; }); return true;
    case kModulo: Combine(a, b, n, [](double x, double y) { return x - std::floor(x / y) * y; }); return true;
    case kPower: Combine(a, b, n, [](double x, double y) { return std::pow(x, y); }); return true;
    default: return false;
    }
}

// When the cell after a push is a two-operand instruction, runs it with the pushed operand in
// place, saving the stack a block written and read again.
template <typename Operand>
bool PeekBinary(EquationCode::const_iterator cell, EquationCode::const_iterator end, double* a, Operand b, unsigned n)
{
    if (++cell == end)
        return false;
    const int* op = boost::get<int>(&*cell);
    return op != nullptr && Binary(*op, a, b, n);
}

}  // namespace

VM::VM() : mStack(kStackSize) {}

double VM::Execute(double t, const EquationCode& code)
{
    double result;
    Execute(&t, 1, code, &result);
    return result;
}

void VM::Execute(const double* t, unsigned n, const EquationCode& code, double* out)
{
    double* const bottom = mStack.data();
    double* top = bottom;  // start of the next free block
    const auto unary = [&top, n](auto f) {
        double* const a = top - n;
        for (unsigned i = 0; i < n; ++i)
            a[i] = f(a[i]);
    };
    const auto end = code.end();
    for (auto cell = code.begin(); cell != end; ++cell) {
        const int op = boost::get<int>(*cell);
        switch (op) {
        case kNegate: unary([](double x) { return -x; }); break;
        case kSin: unary([](double x) { return std::sin(x); }); break;
        case kCos: unary([](double x) { return std::cos(x); }); break;
        case kTan: unary([](double x) { return std::tan(x); }); break;
        case kSqrt: unary([](double x) { return std::sqrt(x); }); break;
        case kLog10: unary([](double x) { return std::log10(x); }); break;
        case kLn: unary([](double x) { return std::log(x); }); break;
        case kRound: unary([](double x) { return std::floor(x + 0.5); }); break;
        case kCeil: unary([](double x) { return std::ceil(x); }); break;
        case kFloor: unary([](double x) { return std::floor(x); }); break;
        case kPushT:
            // An operation right after the push takes t where it stands.
            if (PeekBinary(cell, end, top - n, Block{t}, n)) {
                ++cell;
            } else {
                std::copy_n(t, n, top);
                top += n;
            }
            break;
        case kPush: {
            if (++cell == end)
                throw boost::bad_get();
            const double value = boost::get<double>(*cell);
            if (PeekBinary(cell, end, top - n, Scalar{value}, n)) {
                ++cell;
            } else {
                std::fill_n(top, n, value);
                top += n;
            }
            break;
        }
        default:
            if (Binary(op, top - 2 * n, Block{top - n}, n))
                top -= n;
            break;  // unknown opcodes are skipped
        }
    }
    if (top == bottom)
        std::fill_n(out, n, std::numeric_limits<double>::quiet_NaN());
    else
        std::copy_n(top - n, n, out);
}

int VM::StackNeed(const EquationCode& code)
{
    int depth = 0;
    int deepest = 0;
    for (auto cell = code.begin(); cell != code.end(); ++cell) {
        const int* op = boost::get<int>(&*cell);
        if (op == nullptr)
            return -1;
        if (*op == kPush && (++cell == code.end() || boost::get<double>(&*cell) == nullptr))
            return -1;
        int takes = 0;
        int leaves = 0;
        StackEffect(*op, takes, leaves);
        if (depth < takes)
            return -1;
        depth += leaves - takes;
        deepest = std::max(deepest, depth);
    }
    return deepest;
}

}  // namespace KVD
