#include "calc/Window.h"

#include "calc/CalcEnumGuids.h"
#include "calc/CalcMessages.h"
#include "calc/RPNOps.h"
#include "calc/WindowUnaryOp.h"
#include "foundation/DynamicId.h"

namespace CalcParser {
const wchar_t* const Window::sParamNames[] = {L"Source", L"WindowBottom", L"WindowTop"};
const CalcEnums::Range Window::sParamRanges[] = {{0, 0}, {0, 0}, {0, 0}};

Window::Window() : NumericParamsFuncRep(L"Window", TypeIdClass<&GUID_ArithEnumObj, 7>::GetId(), 3, 3, 0, -1) {}

void Window::CheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount)
{
    DoCheckOptimisePush(rpn, stack, argCount, sParamNames, sParamRanges);
    RemoveLast(rpn);
    Pop(stack, 1);
    const unsigned count = Count(rpn);
    if (count < 2 || rpn[count - 2].GetType() != kSymNumber || rpn[count - 1].GetType() != kSymNumber) {
        SymbolRep::CheckOptimisePush(rpn, stack, argCount);
        return;
    }
    const double bottom = rpn[count - 2].GetValue();
    const double top = rpn[count - 1].GetValue();
    if (top <= bottom)
        Throw(CalcText(CalcEnumsStr::IDS_ARITHWINDOWTOPGTBOTTOM));
    RemoveLast(rpn);
    RemoveLast(rpn);
    if (count >= 3 && rpn[count - 3].GetType() == kSymNumber) {
        SymbolRep* x = rpn[count - 3].Set();
        x->SetValue(!(x->GetValue() < bottom) && x->GetValue() < top ? 1.0 : 0.0);
        stack.Add(x);
        return;
    }
    Symbol window(new WindowUnaryOp(bottom, top));
    window.Set()->SetTextPosition(GetTextPosition());
    window.Set()->SymbolRep::CheckOptimisePush(rpn, stack, -1);
}

}  // namespace CalcParser
