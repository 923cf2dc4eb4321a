// Functions whose arguments are sources (sample streams, leading) followed by numeric
// parameters (constants or variables with a value, in fixed ranges). The numbers go to the
// function's enumerator as its settings text; the sources stay in the RPN as its inputs.
#pragma once

#include "calc/CalcRange.h"
#include "calc/SymbolRep.h"

namespace CalcParser {

class FuncRep : public SymbolRep {
public:
    // A function (kind 4) of sample data; requiredSources -1 means all sources are required.
    FuncRep(const KVD::String& name, CAFId typeId, int maxArgs, int sources, CalcNPFuncInfoFlags flags,
            int requiredSources);

    KVD::String GetSettings() const override { return mSettings; }
    long GetNSources() const override { return mSources; }
    long GetNRequiredSources() const override { return mRequiredSources; }

protected:
    // Puts field in front of the settings text, a TAB between it and what was there.
    void PrependSetting(const KVD::String& field);

    KVD::String mSettings;
    long mMaxArgs;
    long mSources;
    long mRequiredSources;
};

class NumericParamsFuncRep : public FuncRep {
protected:
    using FuncRep::FuncRep;

    // Checks the argument count, takes the numeric parameters (last first) off the RPN into
    // the settings text, checks the sources and pushes the function. paramNames and ranges
    // hold one entry per argument, sources first; both may be null for a function without
    // arguments.
    void DoCheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount, const wchar_t* const* paramNames,
                             const CalcEnums::Range* ranges);

    // The parameter on top of the stack, a number or a variable with a value, checked against
    // its range, moved into the settings text.
    void TakeNumericParam(RPNArray& rpn, RepStack& stack, const KVD::String& name, const CalcEnums::Range& range);
    // The source on top of the stack must be a stream of sample data.
    void CheckSourceParam(const RepStack& stack, const KVD::String& name, long index) const;

    [[noreturn]] void ThrowParamRangeError(const KVD::String& name, const CalcEnums::Range& range) const;
    [[noreturn]] void ThrowNonSourceParamTypeError(const KVD::String& name, SymType expected) const;
    [[noreturn]] void ThrowSourceParamTypeError(const KVD::String& name) const;
    // The argument-count message, listing the function's parameter names.
    [[noreturn]] void ThrowSourceNumberError(const KVD::String& parameterList) const;
    [[noreturn]] void ThrowSourceNumberError(const wchar_t* const* paramNames) const;
};

}  // namespace CalcParser
