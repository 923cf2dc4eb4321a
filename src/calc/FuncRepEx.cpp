#include "calc/FuncRepEx.h"

#include "calc/CalcMessages.h"
#include "calc/RPNOps.h"
#include "calc/Symbol.h"

namespace CalcParser {

FuncRepEx::FuncRepEx(const KVD::String& name, CAFId typeId, int maxArgs, int minArgs)
    : SymbolRep(kSymFunction, name), mMaxArgs(maxArgs), mMinArgs(minArgs)
{
    SymbolRep::SetEnumOutputDataTypes(kEnumDataSamples, typeId);
}

void FuncRepEx::DoCheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount, const KVD::String& usage)
{
    if (Count(stack) < unsigned(std::max(argCount, 0)) || argCount > mMaxArgs || argCount < mMinArgs)
        ThrowSourceNumberError(usage);
    mSettings = KVD::String();
    mSources = 0;
    std::vector<Symbol> arguments;
    arguments.reserve(8);
    if (argCount > 0) {
        const int first = FindRep(rpn, StackEntry(stack, argCount));
        if (first < 0)
            ThrowSourceNumberError(usage);
        for (unsigned i = first; i < Count(rpn); ++i)
            arguments.push_back(rpn[i]);
        rpn.Erase(first, Count(rpn));
    }
    Symbol* const begin = arguments.data();
    Symbol* const end = begin + arguments.size();
    ProcessParams(begin, end, rpn, stack, argCount);
    Pop(stack, argCount);
    SymbolRep::CheckOptimisePush(rpn, stack, argCount);
}

SymbolRep* FuncRepEx::NextArgument(const Cursor& at, const RepStack& stack)
{
    return StackEntry(stack, at.remaining);
}

// A constant argument is one symbol, the argument's own: a stream whose first symbol happens
// to be a number is not taken for one.
const SymbolRep* FuncRepEx::ConstantArgument(const Cursor& at, const RepStack& stack, SymType type)
{
    const SymbolRep* argument = NextArgument(at, stack);
    if (argument == nullptr || argument->GetType() != type || at.cur == at.end || at.cur->Get() != argument)
        return nullptr;
    return argument;
}

void FuncRepEx::ProcessSourceParam(const wchar_t* name, Cursor& at, RPNArray& rpn, const RepStack& stack,
                                   bool optional)
{
    if (at.remaining <= 0 || (at.cur == at.end && optional))
        return;
    const SymbolRep* argument = NextArgument(at, stack);
    CheckStream(name, argument);
    CopyArgument(name, at, rpn, argument);
    ++mSources;
    --at.remaining;
}

void FuncRepEx::ProcessNumericParam(const wchar_t* name, Cursor& at, const RepStack& stack,
                                    const CalcEnums::Range& range, bool optional)
{
    if (at.remaining <= 0 || (at.cur == at.end && optional))
        return;
    const SymbolRep* constant = ConstantArgument(at, stack, kSymNumber);
    if (constant == nullptr)
        ThrowNonSourceParamTypeError(name, kSymNumber);
    if (!range.Admits(constant->GetValue()))
        ThrowParamRangeError(name, range);
    AppendToSettings(constant->GetValue());
    ++at.cur;
    --at.remaining;
}

void FuncRepEx::ProcessStringParam(const wchar_t* name, Cursor& at, const RepStack& stack, bool optional)
{
    if (at.remaining <= 0 || (at.cur == at.end && optional))
        return;
    const SymbolRep* constant = ConstantArgument(at, stack, kSymString);
    if (constant == nullptr)
        ThrowNonSourceParamTypeError(name, kSymString);
    AppendToSettings(constant->GetName());
    ++at.cur;
    --at.remaining;
}

void FuncRepEx::ProcessNumericVarParam(const wchar_t* name, Cursor& at, RPNArray& rpn, const RepStack& stack,
                                       const CalcEnums::Range& range, bool optional)
{
    if (at.remaining <= 0)
        return;
    if (at.cur == at.end) {
        if (optional)
            return;
        ThrowNonSourceParamTypeError(name, kSymNumber);
    }
    if (ConstantArgument(at, stack, kSymNumber) != nullptr) {
        ProcessNumericParam(name, at, stack, range, optional);
        return;
    }
    const SymbolRep* argument = NextArgument(at, stack);
    CheckStream(name, argument);
    KVD::String field(L"<");
    if (argument->GetName().empty()) {
        field += L"ArithOp_";
        field += Symbol::TypeToString(argument->GetType());
    } else {
        field += argument->GetName();
    }
    field += L">";
    AppendToSettings(field);
    CopyArgument(name, at, rpn, argument);
    ++mSources;
    --at.remaining;
}

void FuncRepEx::CheckStream(const wchar_t* name, const SymbolRep* argument) const
{
    if (argument == nullptr || !IsStreamRep(argument))
        ThrowSourceParamTypeError(name);
    if (IsNonSampleKind(argument->GetOutputDataType()))
        ThrowSourceParamDataEnumTypeError(name, nullptr, 0);
}

void FuncRepEx::CopyArgument(const wchar_t* name, Cursor& at, RPNArray& rpn, const SymbolRep* argument)
{
    for (;;) {
        if (at.cur == at.end)
            ThrowSourceParamTypeError(name);
        rpn.Add(*at.cur);
        if ((at.cur++)->Get() == argument)
            return;
    }
}

void FuncRepEx::AppendToSettings(double value)
{
    AppendToSettings(FormatSettingsNumber(value));
}

void FuncRepEx::AppendToSettings(const KVD::String& field)
{
    if (!mSettings.empty())
        mSettings += L'\t';
    mSettings += field;
}

void FuncRepEx::ThrowParamRangeError(const wchar_t* name, const CalcEnums::Range& range) const
{
    Throw(FormatCalcText(CalcEnumsStr::IDS_FUNCREPEX_PARAM_ERROR1, GetName(), name, range.high, range.low));
}

void FuncRepEx::ThrowNonSourceParamTypeError(const wchar_t* name, SymType expected) const
{
    Throw(FormatCalcText(CalcEnumsStr::IDS_FUNCREPEX_PARAM_ERROR2, GetName(), name, Symbol::TypeToString(expected)));
}

void FuncRepEx::ThrowSourceParamTypeError(const wchar_t* name) const
{
    Throw(FormatCalcText(CalcEnumsStr::IDS_FUNCREPEX_PARAM_ERROR3, GetName(), name));
}

void FuncRepEx::ThrowSourceNumberError(const KVD::String& usage) const
{
    if (mMaxArgs <= 0)
        Throw(CalcText(CalcEnumsStr::IDS_FUNCREPEX_PARAM_ERROR8));
    const int optional = mMaxArgs - mMinArgs;
    if (optional == 1)
        Throw(FormatCalcText(mMinArgs == 1 ? CalcEnumsStr::IDS_FUNCREPEX_PARAM_ERROR4 : CalcEnumsStr::IDS_FUNCREPEX_PARAM_ERROR6, GetName(),
                             mMinArgs, 1, usage));
    Throw(FormatCalcText(mMinArgs == 1 ? CalcEnumsStr::IDS_FUNCREPEX_PARAM_ERROR5 : CalcEnumsStr::IDS_FUNCREPEX_PARAM_ERROR7, GetName(),
                         mMinArgs, optional, usage));
}

}  // namespace CalcParser
