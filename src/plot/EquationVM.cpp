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

}  // namespace

VM::VM() : mStack(kStackSize) {}

double VM::Execute(double t, const EquationCode& code)
{
    double* const bottom = mStack.data();
    double* top = bottom;  // one past the top entry
    const auto end = code.end();
    for (auto cell = code.begin(); cell != end; ++cell) {
        switch (boost::get<int>(*cell)) {
        case kNegate: top[-1] = -top[-1]; break;
        case kAdd: --top; top[-1] += *top; break;
        case kSubtract: --top; top[-1] -= *top; break;
        case kMultiply: --top; top[-1] *= *top; break;
        case kDivide: --top; top[-1] /= *top; break;
        case kModulo: --top; top[-1] -= std::floor(top[-1] / *top) * *top; break;
        case kPower: --top; top[-1] = std::pow(top[-1], *top); break;
        case kSin: top[-1] = std::sin(top[-1]); break;
        case kCos: top[-1] = std::cos(top[-1]); break;
        case kTan: top[-1] = std::tan(top[-1]); break;
        case kSqrt: top[-1] = std::sqrt(top[-1]); break;
        case kLog10: top[-1] = std::log10(top[-1]); break;
        case kLn: top[-1] = std::log(top[-1]); break;
        case kRound: top[-1] = std::floor(top[-1] + 0.5); break;
        case kCeil: top[-1] = std::ceil(top[-1]); break;
        case kFloor: top[-1] = std::floor(top[-1]); break;
        case kPushT: *top++ = t; break;
        case kPush:
            if (++cell == end)
                throw boost::bad_get();
            *top++ = boost::get<double>(*cell);
            break;
        default: break;  // unknown opcodes are skipped
        }
    }
    return top == bottom ? std::numeric_limits<double>::quiet_NaN() : top[-1];
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
