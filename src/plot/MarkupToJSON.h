// Plot markup to the script literal that the plot page's setup call takes: an array of
// {property_name, markup} records, one per declaration, in markup order.
#pragma once

#include <string>

#include "plot/MarkupAST.h"

namespace Lumo {

// False when the markup does not parse; out is then left as it was.
bool MarkupToJSON(const std::string& markup, std::string& out);
// The same, keeping the parser's message in error when the markup does not parse.
bool MarkupToJSON(const std::string& markup, std::string& out, std::string& error);

// The literal of a parsed document.
std::string ToScriptLiteral(const Markup::AST& ast);

}  // namespace Lumo
