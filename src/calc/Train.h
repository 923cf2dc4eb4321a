// Train("name", source, duration, flags, ..., repeats, scale, offset, minPeriod): segments of
// sources played one after another, each introduced by its name in quotes, then optional
// repetition and scaling.
#pragma once

#include "calc/FuncRepEx.h"

namespace CalcParser {

class Train : public FuncRepEx {
public:
    Train(const KVD::String& name, CAFId typeId, int maxArgs, int minArgs);

    SymbolRep* Clone() const override { return new Train(*this); }
    void CheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount) override;
    void ProcessParams(Symbol* const& begin, Symbol* const& end, RPNArray& rpn, RepStack& stack,
                       int argCount) override;

    static const wchar_t* const sUsage;
};

}  // namespace CalcParser
