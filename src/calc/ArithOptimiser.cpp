// The optimising push of the arithmetic operators: constant operands are folded into one
// number, an operator with one constant operand becomes a one-operand operation carrying the
// constant, and the data kinds of two streams choose the arithmetic enumerator.
#include <cmath>

#include "calc/ArithReps.h"
#include "calc/CalcEnumGuids.h"
#include "calc/CalcMessages.h"
#include "calc/RPNOps.h"
#include "calc/XArith.h"
#include "foundation/DynamicId.h"

namespace CalcParser {
namespace {

// The kinds that pass unchanged: none set, or sample data.
bool IsPlainKind(KVDEnumDataType kind)
{
    return kind == 0 || (kind & kEnumDataSamples) != 0;
}

// A channel or source of still open kind becomes a sample stream when an operator uses it.
void NarrowOpenSource(SymbolRep* rep)
{
    if ((rep->GetType() == kSymChannel || rep->GetType() == kSymSource) && rep->GetOutputDataType() >= kEnumDataOpen)
        rep->SetSourceEnumDataTypes(kEnumDataSamples);
}

KVD::String Prefixed(const wchar_t* prefix, const KVDXMLStringKey& key)
{
    KVD::String message(prefix);
    message += CalcText(key);
    return message;
}

// What a one-operand operation may carry: nothing set, samples, real or complex vectors.
bool CanCarryConstant(KVDEnumDataType kind)
{
    return kind == 0 || (kind & 0x83000000) != 0;
}

void PushNew(SymbolRep* rep, int64_t position, RPNArray& rpn, RepStack& stack)
{
    Symbol symbol(rep);
    symbol.Set()->SetTextPosition(position);
    symbol.Set()->SymbolRep::CheckOptimisePush(rpn, stack, -1);
}

}  // namespace

void UnaryOpArithRep::CheckOptimisePush(RPNArray& rpn, RepStack& stack, int)
{
    if (Count(rpn) == 0 || Count(stack) == 0)
        Throw(Prefixed(L"UnaryOpArith : ", CalcEnumsStr::IDS_INSUFFICIENT_PARAMS));
    if (IsNonSampleKind(StackEntry(stack, 1)->GetOutputDataType()))
        ThrowSourceParamDataEnumTypeError(L"source ", nullptr, 0);
    if (GetType() == kSymUnaryMinus && rpn[Count(rpn) - 1].GetType() == kSymNumber) {
        SymbolRep* constant = WritableLast(rpn, stack);
        constant->SetValue(-constant->GetValue());
        return;
    }
    Pop(stack, 1);
    SymbolRep::CheckOptimisePush(rpn, stack, -1);
}

double BinaryOpArithRep::DoCalc(double a, double b) const
{
    switch (GetType()) {
    case kSymPlus:
        return a + b;
    case kSymMinus:
        return a - b;
    case kSymMul:
        return a * b;
    case kSymDiv:
        return a / b;
    case kSymPow:
        return std::pow(a, b);
    case kSymMod:
        return std::fmod(a, b);
    case kSymThreshold:
        return a < b ? 0.0 : 1.0;
    case kSymAtan2:
        return std::atan2(a, b);
    default:
        Throw(L"BinaryArithOp: ");
    }
}

SymType BinaryOpArithRep::sBinaryToUnaryOpArithType(SymType op, bool constantOnLeft, int64_t position)
{
    switch (op) {
    case kSymPlus:
        return kSymAddConst;
    case kSymMul:
        return kSymMulConst;
    case kSymMinus:
        return constantOnLeft ? SymType(10) : SymType(11);
    case kSymDiv:
        return constantOnLeft ? SymType(12) : SymType(13);
    case kSymPow:
        return constantOnLeft ? SymType(14) : SymType(15);
    case kSymMod:
        return constantOnLeft ? SymType(17) : SymType(16);
    case kSymThreshold:
        return constantOnLeft ? SymType(19) : SymType(18);
    case kSymAtan2:
        return constantOnLeft ? SymType(21) : SymType(20);
    default:
        throw XArith(KVD::String(L"BinaryToUnaryArithOpType: "), position);
    }
}

void BinaryOpArithRep::CheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount)
{
    static const KVDXMLStringKey kUsageKeys[] = {CalcEnumsStr::IDS_MOD_PARAMS_ERROR, CalcEnumsStr::IDS_THRESHOLD_PARAMS_ERROR,
                                             CalcEnumsStr::IDS_ATAN2_PARAMS_ERROR};
    const SymType op = GetType();
    if (op >= kSymMod && op <= kSymAtan2 && argCount != 2)
        Throw(FormatCalcText(kUsageKeys[op - kSymMod], L"(x,y)"));
    if (Count(stack) < 2)
        Throw(Prefixed(L"BinaryOpArithRep : ", CalcEnumsStr::IDS_INSUFFICIENT_PARAMS));
    SymbolRep* right = StackEntry(stack, 1);
    SymbolRep* left = StackEntry(stack, 2);
    const KVDEnumDataType rightKind = right->GetOutputDataType();
    const KVDEnumDataType leftKind = left->GetOutputDataType();
    NarrowOpenSource(right);
    NarrowOpenSource(left);
    const unsigned count = Count(rpn);
    if (rpn[count - 1].GetType() == kSymNumber) {
        const double constant = rpn[count - 1].GetValue();
        if (count >= 2 && rpn[count - 2].GetType() == kSymNumber) {
            RemoveLast(rpn);
            Pop(stack, 2);
            SymbolRep* folded = rpn[count - 2].Set();
            folded->SetValue(DoCalc(folded->GetValue(), constant));
            stack.Add(folded);
            return;
        }
        if (!CanCarryConstant(leftKind))
            ThrowSourceParamDataEnumTypeError(nullptr, nullptr, 0);
        RemoveLast(rpn);
        Pop(stack, 2);
        PushNew(new UnaryOpArithRep(sBinaryToUnaryOpArithType(op, false, GetTextPosition()), constant, leftKind),
                GetTextPosition(), rpn, stack);
        return;
    }
    if (left->GetType() == kSymNumber) {
        const int at = FindRep(rpn, left);
        if (at < 0)
            Throw(L"BinaryOpArithRep : unexpected parser error");
        if (!CanCarryConstant(rightKind))
            ThrowSourceParamDataEnumTypeError(nullptr, nullptr, 0);
        const double constant = left->GetValue();
        rpn.Erase(at, at + 1);
        Pop(stack, 2);
        PushNew(new UnaryOpArithRep(sBinaryToUnaryOpArithType(op, true, GetTextPosition()), constant, rightKind),
                GetTextPosition(), rpn, stack);
        return;
    }
    if (!IsPlainKind(leftKind) || !IsPlainKind(rightKind)) {
        const KVDEnumDataType common = leftKind & rightKind;
        if ((common & kEnumDataComplexVector) && (op == kSymPlus || op == kSymMinus || op == kSymThreshold))
            SetEnumOutputDataTypes(kEnumDataComplexVector, TypeIdClass<&GUID_ArithEnumObj, 13>::GetId());
        else if (!(common & kEnumDataComplexVector) && (common & kEnumDataRealVector) && op != kSymMul &&
                 op != kSymDiv && op != kSymPow)
            SetEnumOutputDataTypes(kEnumDataRealVector, TypeIdClass<&GUID_ArithEnumObj, 17>::GetId());
        else
            ThrowSourceParamDataEnumTypeError(nullptr, nullptr, 0);
    }
    Pop(stack, 2);
    SymbolRep::CheckOptimisePush(rpn, stack, argCount);
}

// No folding and no argument count: the element-wise operators apply only to vectors.
void BinaryOpArithByElementRep::CheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount)
{
    if (Count(stack) < 2)
        Throw(Prefixed(L"BinaryOpArithByElementRep : ", CalcEnumsStr::IDS_INSUFFICIENT_PARAMS));
    const KVDEnumDataType rightKind = StackEntry(stack, 1)->GetOutputDataType();
    const KVDEnumDataType leftKind = StackEntry(stack, 2)->GetOutputDataType();
    if (leftKind != 0 || rightKind != 0) {
        const KVDEnumDataType common = leftKind & rightKind;
        if (common & kEnumDataComplexVector)
            SetEnumOutputDataTypes(kEnumDataComplexVector, TypeIdClass<&GUID_ArithEnumObj, 13>::GetId());
        else if (common & kEnumDataRealVector)
            SetEnumOutputDataTypes(kEnumDataRealVector, TypeIdClass<&GUID_ArithEnumObj, 17>::GetId());
        else
            ThrowSourceParamDataEnumTypeError(nullptr, nullptr, 0);
    }
    Pop(stack, 2);
    SymbolRep::CheckOptimisePush(rpn, stack, argCount);
}

}  // namespace CalcParser
