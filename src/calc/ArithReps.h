// Representations of the arithmetic operators: one-operand (negation, an operator with one
// constant operand), two-operand and element-wise two-operand. How they fold constants while
// the parser pushes them is the optimiser's.
#pragma once

#include "calc/SymbolRep.h"

namespace CalcParser {

class UnaryOpArithRep : public SymbolRep {
public:
    // Negation and the like: the arithmetic class of one-operand operations.
    explicit UnaryOpArithRep(SymType type);
    // An operator with one constant operand on a source of the given kind. Real-vector and
    // complex-vector sources have classes of their own; a kind with none of the bits of
    // samples, real or complex vectors is a data-kind error.
    UnaryOpArithRep(SymType type, double constant, KVDEnumDataType kind);

    SymbolRep* Clone() const override { return new UnaryOpArithRep(*this); }
    // The kind; unless negation, a tab and the constant; for two-component data a tab and
    // the second component.
    KVD::String GetSettings() const override;
    long GetNSources() const override { return 1; }
    // Negation of a constant folds into it.
    void CheckOptimisePush(RPNArray& rpn, RepStack& stack, int nArgs) override;
};

class BinaryOpArithRep : public SymbolRep {
public:
    explicit BinaryOpArithRep(SymType type);

    SymbolRep* Clone() const override { return new BinaryOpArithRep(*this); }
    // The kind in decimal.
    KVD::String GetSettings() const override;
    long GetNSources() const override { return 2; }
    // Folds two constants, turns one constant operand into a one-operand operation, checks
    // the data kinds of two streams.
    void CheckOptimisePush(RPNArray& rpn, RepStack& stack, int nArgs) override;

    // The operation on two constants, left then right.
    double DoCalc(double a, double b) const;
    // The one-operand kind of an operator with one constant operand on the given side.
    static SymType sBinaryToUnaryOpArithType(SymType op, bool constantOnLeft, int64_t position);
};

class BinaryOpArithByElementRep : public SymbolRep {
public:
    explicit BinaryOpArithByElementRep(SymType type);

    SymbolRep* Clone() const override { return new BinaryOpArithByElementRep(*this); }
    KVD::String GetSettings() const override;
    long GetNSources() const override { return 2; }
    // Checks the data kinds: the element-wise operators apply to vectors only.
    void CheckOptimisePush(RPNArray& rpn, RepStack& stack, int nArgs) override;
};

}  // namespace CalcParser
