#include "calc/RPNOps.h"

#include "calc/CalcEnumGuids.h"

namespace CalcParser {

void Pop(RepStack& stack, unsigned n)
{
    const unsigned count = Count(stack);
    stack.Erase(count - std::min(n, count), count);
}

void RemoveLast(RPNArray& rpn)
{
    if (Count(rpn) > 0)
        rpn.Erase(Count(rpn) - 1, Count(rpn));
}

int FindRep(const RPNArray& rpn, const SymbolRep* rep)
{
    for (int i = static_cast<int>(Count(rpn)) - 1; i >= 0; --i)
        if (rpn[i].Get() == rep)
            return i;
    return -1;
}

SymbolRep* WritableLast(RPNArray& rpn, RepStack& stack)
{
    Symbol& last = rpn[Count(rpn) - 1];
    SymbolRep* shared = last.GetShared();
    SymbolRep* writable = last.Set();
    if (writable != shared)
        for (unsigned i = 0; i < Count(stack); ++i)
            if (stack[i] == shared)
                stack[i] = writable;
    return writable;
}

bool IsStreamRep(const SymbolRep* rep)
{
    const SymType type = rep->GetType();
    return type == kSymChannel || type == kSymSource || type == kSymVariable || rep->GetClassId() >= kFirstDynamicTypeId;
}

}  // namespace CalcParser
