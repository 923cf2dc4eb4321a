// A compiled formula written as text, one line per symbol, for golden comparisons:
//   T<kind> "<name>" id=<class>:<sub-id> out=<data kind> s="<settings>"
//   ch=<channel> w=<data word> use=<use mode> ord=<ordinal> sv=<source variables> @<position>
// The name and the settings are left out when empty, the channel fields for symbols other
// than channels and sources, the source variables when there are none. Classes are named by
// their GUID (Arith for GUID_ArithEnumObj, ...); settings show a TAB as \t.
#pragma once

#include <string>
#include <vector>

#include "calc/Symbol.h"

namespace CalcTest {

std::string DumpSymbol(const CalcParser::Symbol& symbol);
std::vector<std::string> DumpRPN(const CalcParser::RPNArray& rpn);

// The short name of the class of a type id: "Arith:4", "0" for none.
std::string ClassName(CAFId typeId);

// \t, \r, \n and \\ written as escapes.
std::string Escape(const std::wstring& text);

}  // namespace CalcTest
