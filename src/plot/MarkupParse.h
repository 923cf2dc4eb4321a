// Parsing plot markup into its value tree.
#pragma once

#include <string>

#include "plot/MarkupAST.h"

namespace Lumo {

// Objects and arrays nest at most this deep; deeper markup is refused rather than parsed at
// the cost of the call stack.
constexpr int kMaxMarkupNesting = 64;

// True only when the whole text parsed; the error text is dropped.
bool Parse(const std::string& text, Markup::AST& ast);

namespace TmplParse {
// The full parse. On failure error receives the message ("Expected ..." or "Missing comma",
// with its line and the excerpt marked at the position; empty when the text does not begin
// with a declaration) and line its line number. Both are left alone on success.
bool Parse(const std::string& text, Markup::AST& ast, std::string& error, int& line);
}  // namespace TmplParse

}  // namespace Lumo
