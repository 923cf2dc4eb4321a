// Functions whose argument lists the fixed sources-then-numbers rule cannot describe: mixed
// text, source and numeric arguments, optional groups, repeated segments, numbers that may
// also be streams. The push takes every argument back out of the RPN and hands them, in order,
// to the function's ProcessParams, which walks them with the readers below: each either moves
// a source back into the RPN or writes a constant or a text into the settings.
#pragma once

#include <vector>

#include "calc/CalcRange.h"
#include "calc/SymbolRep.h"

namespace CalcParser {

class FuncRepEx : public SymbolRep {
public:
    FuncRepEx(const KVD::String& name, CAFId typeId, int maxArgs, int minArgs);

    KVD::String GetSettings() const override { return mSettings; }
    long GetNSources() const override { return mSources; }

    // Rebuilds the RPN part the enumerator needs from the arguments [begin, end) and fills
    // the settings text.
    virtual void ProcessParams(Symbol* const& begin, Symbol* const& end, RPNArray& rpn, RepStack& stack,
                               int argCount) = 0;

protected:
    // Where the readers stand: the next argument symbol and the arguments not yet read.
    struct Cursor {
        Symbol* cur;
        Symbol* end;
        int remaining;
    };

    void DoCheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount, const KVD::String& usage);

    // Optional: a missing argument is passed over silently.
    void ProcessSourceParam(const wchar_t* name, Cursor& at, RPNArray& rpn, const RepStack& stack, bool optional);
    void ProcessNumericParam(const wchar_t* name, Cursor& at, const RepStack& stack,
                             const CalcEnums::Range& range, bool optional);
    void ProcessStringParam(const wchar_t* name, Cursor& at, const RepStack& stack, bool optional);
    // A constant, or a stream whose data arrives as one more source and whose name takes the
    // parameter's place in the settings.
    void ProcessNumericVarParam(const wchar_t* name, Cursor& at, RPNArray& rpn, const RepStack& stack,
                                const CalcEnums::Range& range, bool optional);

    // The representation of the next argument to read.
    static SymbolRep* NextArgument(const Cursor& at, const RepStack& stack);

    void AppendToSettings(double value);
    void AppendToSettings(const KVD::String& field);

    [[noreturn]] void ThrowParamRangeError(const wchar_t* name, const CalcEnums::Range& range) const;
    [[noreturn]] void ThrowNonSourceParamTypeError(const wchar_t* name, SymType expected) const;
    [[noreturn]] void ThrowSourceParamTypeError(const wchar_t* name) const;
    [[noreturn]] void ThrowSourceNumberError(const KVD::String& usage) const;

private:
    // The argument must be a stream of sample data.
    void CheckStream(const wchar_t* name, const SymbolRep* argument) const;
    // Copies the argument's symbols, up to its own, back into the RPN.
    void CopyArgument(const wchar_t* name, Cursor& at, RPNArray& rpn, const SymbolRep* argument);
    // The next argument when it is a constant of that kind (a single symbol).
    static const SymbolRep* ConstantArgument(const Cursor& at, const RepStack& stack, SymType type);

    KVD::String mSettings;
    int mMaxArgs;
    int mMinArgs;
    int mSources = 0;
};

}  // namespace CalcParser
