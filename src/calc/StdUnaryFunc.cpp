#include "calc/StdUnaryFunc.h"

#include <cmath>
#include <string>

#include "calc/CalcEnumGuids.h"
#include "calc/CalcMessages.h"
#include "calc/RPNOps.h"
#include "foundation/DynamicId.h"

namespace CalcParser {
namespace {

constexpr double kDegree = 0.017453292519943295;

}  // namespace

const wchar_t* const StdUnaryFunc::sParamNames[] = {L"Source"};
const CalcEnums::Range StdUnaryFunc::sParamRanges[] = {{0, 0}};

StdUnaryFunc::StdUnaryFunc(StdFuncType function)
    : NumericParamsFuncRep(L"", TypeIdClass<&GUID_ArithEnumObj, 4>::GetId(), 1, 1, 0, -1), mFunction(function)
{
}

double StdUnaryFunc::DoCalc(double x) const
{
    switch (mFunction) {
    case kFuncSin:
        return std::sin(x);
    case kFuncCos:
        return std::cos(x);
    case kFuncTan:
        return std::tan(x);
    case kFuncAsin:
        return std::asin(x);
    case kFuncAcos:
        return std::acos(x);
    case kFuncAtan:
        return std::atan(x);
    case kFuncLog:
        return std::log(x);
    case kFuncLog10:
        return std::log10(x);
    case kFuncExp:
        return std::exp(x);
    case kFuncSign:
        return x < 0 ? -1.0 : 1.0;
    case kFuncSqrt:
        return std::sqrt(x);
    case kFuncAbs:
        return x < 0 ? -x : x;
    case kFuncDegToRad:
        return x * kDegree;
    case kFuncRadToDeg:
        return x / kDegree;
    case kFuncRound:
        return std::floor(x + 0.5);
    case kFuncInt:
        return x < 0 ? std::ceil(x) : std::floor(x);
    default: {
        KVD::String message(L"StdUnaryFunc: ");
        message += CalcText(CalcEnumsStr::IDS_BAD_FUNCTION_TYPE);
        Throw(message);
    }
    }
}

void StdUnaryFunc::CheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount)
{
    mSettings = KVD::String();
    if (Count(rpn) < mSources || Count(stack) < mSources || argCount < mSources || argCount > mMaxArgs)
        ThrowSourceNumberError(sParamNames);
    if (rpn[Count(rpn) - 1].GetType() == kSymNumber) {
        SymbolRep* constant = WritableLast(rpn, stack);
        constant->SetValue(DoCalc(constant->GetValue()));
        return;
    }
    if (!IsStreamRep(StackEntry(stack, 1)))
        Throw(FormatCalcText(CalcEnumsStr::IDS_STDUNARYFUNC_PARAM_ERROR, GetName()));
    AdaptToArgumentKind(rpn, stack);
    mSettings = KVD::String(std::to_wstring(mFunction));
    Pop(stack, 1);
    SymbolRep::CheckOptimisePush(rpn, stack, argCount);
}

// Sample data keeps the arithmetic class of sub-id 4; vectors have classes of their own for
// the functions that apply to them.
void StdUnaryFunc::AdaptToArgumentKind(RPNArray& rpn, RepStack& stack)
{
    const KVDEnumDataType kind = StackEntry(stack, 1)->GetOutputDataType();
    if (kind == 0)
        return;
    if (kind >= kEnumDataOpen) {
        SymbolRep* argument = WritableLast(rpn, stack);
        if (argument->GetType() == kSymChannel || argument->GetType() == kSymSource)
            argument->SetSourceEnumDataTypes(kEnumDataSamples);
        return;
    }
    if (kind & kEnumDataSamples)
        return;
    const int f = mFunction;
    if (kind & kEnumDataComplexVector) {
        if (f == kFuncSin || f == kFuncCos || f == kFuncTan || f == kFuncLog || f == kFuncLog10 || f == kFuncExp ||
            f == kFuncSqrt || f == kFuncConj)
            return SetEnumOutputDataTypes(kEnumDataComplexVector, TypeIdClass<&GUID_ArithEnumObj, 15>::GetId());
        if (f == kFuncAbs || f >= kFuncArg)
            return SetEnumOutputDataTypes(kEnumDataRealVector, TypeIdClass<&GUID_ArithEnumObj, 16>::GetId());
    } else if ((kind & kEnumDataRealVector) && f <= kFuncInt) {
        return SetEnumOutputDataTypes(kEnumDataRealVector, TypeIdClass<&GUID_ArithEnumObj, 18>::GetId());
    }
    ThrowSourceParamDataEnumTypeError(nullptr, nullptr, 0);
}

}  // namespace CalcParser
