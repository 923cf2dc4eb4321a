// The lists that carry a compiled formula: the symbols in reverse Polish order, and the
// parser's evaluation stack of plain representation pointers.
#pragma once

#include "foundation/ArrayCtor.h"

namespace CalcParser {

class Symbol;
class SymbolRep;

using RPNArray = CArrayCtor<Symbol, true, true>;
using RepStack = CArrayCtor<SymbolRep*, true, true>;

}  // namespace CalcParser
