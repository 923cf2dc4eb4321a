// The window function over a source with constant bounds: 1 where bottom <= x < top, else 0.
// The window function's optimisation creates and places it.
#pragma once

#include "calc/SymbolRep.h"

namespace CalcParser {

class WindowUnaryOp : public SymbolRep {
public:
    WindowUnaryOp(double bottom, double top);

    SymbolRep* Clone() const override { return new WindowUnaryOp(*this); }
    // bottom, a tab, top; six significant digits, classic locale.
    KVD::String GetSettings() const override;
    long GetNSources() const override { return 1; }
    // Placed by the window function's optimisation, never pushed by the parser.
    void CheckOptimisePush(RPNArray&, RepStack&, int) override {}

    double Bottom() const { return mBottom; }
    double Top() const { return mTop; }

private:
    double mBottom;
    double mTop;
};

}  // namespace CalcParser
