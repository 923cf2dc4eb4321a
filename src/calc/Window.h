// window(x, bottom, top): 1 where bottom <= x < top, else 0. With constant bounds it becomes a
// one-source operation carrying them; with everything constant it folds to a number.
#pragma once

#include "calc/FuncRep.h"

namespace CalcParser {

class Window : public NumericParamsFuncRep {
public:
    Window();

    SymbolRep* Clone() const override { return new Window(*this); }
    void CheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount) override;

    static const wchar_t* const sParamNames[];
    static const CalcEnums::Range sParamRanges[];
};

}  // namespace CalcParser
