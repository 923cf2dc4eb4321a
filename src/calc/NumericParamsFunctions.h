// The built-in functions whose arguments follow the fixed rule of NumericParamsFuncRep: each
// has static tables of its parameter names and ranges (sources first) and a constructor that
// gives its display name, enumerator class and counts.
#pragma once

#include "calc/FuncRep.h"

namespace CalcParser {

// Clone and push for a function described by Derived's tables.
template <class Derived>
class TableFuncRep : public NumericParamsFuncRep {
public:
    SymbolRep* Clone() const override { return new Derived(static_cast<const Derived&>(*this)); }
    void CheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount) override
    {
        DoCheckOptimisePush(rpn, stack, argCount, Derived::sParamNames, Derived::sParamRanges);
    }

protected:
    using NumericParamsFuncRep::NumericParamsFuncRep;
};

#define CALC_TABLE_FUNCTION(Name)                            \
    class Name : public TableFuncRep<Name> {                 \
    public:                                                  \
        Name();                                              \
        static const wchar_t* const* const sParamNames;      \
        static const CalcEnums::Range* const sParamRanges;   \
    }

// The time of each sample, in seconds.
CALC_TABLE_FUNCTION(SampleTime);
// The repeat count of the segment.
CALC_TABLE_FUNCTION(Count);
// The number of the data block.
CALC_TABLE_FUNCTION(Block);
CALC_TABLE_FUNCTION(SampleRate);
// Uniform and normal noise, from an optional seed.
CALC_TABLE_FUNCTION(Random);
CALC_TABLE_FUNCTION(Gaussian);
// Moving average over a width in samples.
CALC_TABLE_FUNCTION(Smooth);
// Delay in seconds.
CALC_TABLE_FUNCTION(Shift);
// Derivative by a least-squares fit.
CALC_TABLE_FUNCTION(Diff);
// The functions that change the sample rate.
CALC_TABLE_FUNCTION(StepInterpolator);
CALC_TABLE_FUNCTION(Resample);
CALC_TABLE_FUNCTION(EnergySymbol);
// Mains-interference removal guided by a second source.
CALC_TABLE_FUNCTION(MainsFilterExSymbol);

#undef CALC_TABLE_FUNCTION

}  // namespace CalcParser
