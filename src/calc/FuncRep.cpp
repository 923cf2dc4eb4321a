#include "calc/FuncRep.h"

#include "calc/CalcMessages.h"
#include "calc/RPNOps.h"

namespace CalcParser {

FuncRep::FuncRep(const KVD::String& name, CAFId typeId, int maxArgs, int sources, CalcNPFuncInfoFlags flags,
                 int requiredSources)
    : SymbolRep(kSymFunction, name), mMaxArgs(maxArgs), mSources(sources), mRequiredSources(requiredSources)
{
    SymbolRep::SetEnumOutputDataTypes(kEnumDataSamples, typeId);
    SetFuncFlags(flags);
}

void FuncRep::PrependSetting(const KVD::String& field)
{
    KVD::String settings(field);
    if (!mSettings.empty()) {
        settings += L'\t';
        settings += mSettings;
    }
    mSettings = settings;
}

void NumericParamsFuncRep::DoCheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount,
                                               const wchar_t* const* paramNames, const CalcEnums::Range* ranges)
{
    mSettings = KVD::String();
    if (Count(stack) < mSources || argCount < mSources || argCount > mMaxArgs || Count(stack) < unsigned(argCount))
        ThrowSourceNumberError(paramNames);
    for (int i = argCount - 1; i >= mSources; --i)
        TakeNumericParam(rpn, stack, KVD::String(paramNames[i]), ranges[i]);
    for (long i = mSources - 1; i >= 0; --i) {
        CheckSourceParam(stack, KVD::String(paramNames[i]), i);
        Pop(stack, 1);
    }
    SymbolRep::CheckOptimisePush(rpn, stack, argCount);
}

void NumericParamsFuncRep::TakeNumericParam(RPNArray& rpn, RepStack& stack, const KVD::String& name,
                                            const CalcEnums::Range& range)
{
    const SymbolRep* top = StackEntry(stack, 1);
    if (top->GetType() != kSymNumber && !top->IsVariableRep())
        ThrowNonSourceParamTypeError(name, kSymNumber);
    const double value = top->GetValue();
    if (!range.Admits(value))
        ThrowParamRangeError(name, range);
    PrependSetting(FormatSettingsNumber(value));
    Pop(stack, 1);
    RemoveLast(rpn);
}

void NumericParamsFuncRep::CheckSourceParam(const RepStack& stack, const KVD::String& name, long index) const
{
    const SymbolRep* top = StackEntry(stack, 1);
    if (!IsStreamRep(top))
        ThrowSourceParamTypeError(name);
    if (IsNonSampleKind(top->GetOutputDataType()))
        ThrowSourceParamDataEnumTypeError(name.c_str(), nullptr, index);
}

void NumericParamsFuncRep::ThrowParamRangeError(const KVD::String& name, const CalcEnums::Range& range) const
{
    Throw(FormatCalcText(CalcEnumsStr::IDS_NUMERIC_PARAM_ERROR1, GetName(), name, range.high, range.low));
}

void NumericParamsFuncRep::ThrowNonSourceParamTypeError(const KVD::String& name, SymType expected) const
{
    Throw(FormatCalcText(CalcEnumsStr::IDS_NUMERIC_PARAM_ERROR2, GetName(), name, Symbol::TypeToString(expected)));
}

void NumericParamsFuncRep::ThrowSourceParamTypeError(const KVD::String& name) const
{
    Throw(FormatCalcText(CalcEnumsStr::IDS_NUMERIC_PARAM_ERROR3, GetName(), name));
}

void NumericParamsFuncRep::ThrowSourceNumberError(const KVD::String& parameterList) const
{
    if (mMaxArgs <= 0)
        Throw(FormatCalcText(CalcEnumsStr::IDS_NUMERIC_PARAM_ERROR6, GetName()));
    Throw(FormatCalcText(mSources == 1 ? CalcEnumsStr::IDS_NUMERIC_PARAM_ERROR4 : CalcEnumsStr::IDS_NUMERIC_PARAM_ERROR5, GetName(),
                         mSources, mMaxArgs - mSources, GetName(), parameterList));
}

void NumericParamsFuncRep::ThrowSourceNumberError(const wchar_t* const* paramNames) const
{
    KVD::String list;
    for (long i = 0; paramNames != nullptr && i < mMaxArgs; ++i) {
        if (i > 0)
            list += ListSeparator();
        list += paramNames[i];
    }
    ThrowSourceNumberError(list);
}

}  // namespace CalcParser
