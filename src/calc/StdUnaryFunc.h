// The one-operand mathematical functions (sin, log, abs, ...): folded on constants, and given
// the arithmetic enumerator that fits the data kind of their argument.
#pragma once

#include "calc/FuncRep.h"

namespace CalcParser {

enum StdFuncType {
    kFuncSin = 1,
    kFuncCos,
    kFuncTan,
    kFuncAsin,
    kFuncAcos,
    kFuncAtan,
    kFuncLog,
    kFuncLog10,
    kFuncExp,
    kFuncSign,
    kFuncSqrt,
    kFuncAbs,
    kFuncDegToRad,
    kFuncRadToDeg,
    kFuncRound,
    kFuncInt,
    kFuncConj,
    kFuncArg,
    kFuncNorm,
    kFuncReal,
    kFuncImag,
};

class StdUnaryFunc : public NumericParamsFuncRep {
public:
    explicit StdUnaryFunc(StdFuncType function);

    SymbolRep* Clone() const override { return new StdUnaryFunc(*this); }
    void CheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount) override;

    StdFuncType GetFunction() const { return mFunction; }
    // The function of a constant; only the real functions 1-16 have one.
    double DoCalc(double x) const;

    static const wchar_t* const sParamNames[];
    static const CalcEnums::Range sParamRanges[];

private:
    // Chooses the enumerator for the argument's data kind.
    void AdaptToArgumentKind(RPNArray& rpn, RepStack& stack);

    StdFuncType mFunction;
};

}  // namespace CalcParser
