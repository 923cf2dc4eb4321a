// The lists that carry a compiled formula: the symbols in reverse Polish order, and the
// parser's evaluation stack of plain representation pointers.
#pragma once

#include "foundation/CArrayCtor.h"

namespace CalcParser {

class Symbol;
class SymbolRep;

using RPNArray = CArrayCtorInit<Symbol, true, true>;
using RepStack = CArrayCtorInit<SymbolRep*, true, true>;

}  // namespace CalcParser
