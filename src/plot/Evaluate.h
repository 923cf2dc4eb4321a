// Samples of an equation in t, for plots of a curve given by a formula instead of data.
#pragma once

#include <string>
#include <vector>

#include "plot/EquationVM.h"

namespace KVD {

// Sample counts above this are refused: a plot never needs them, and the page must not make
// the host allocate gigabytes.
constexpr unsigned kMaxEquationSamples = 1u << 22;
// Parentheses, function calls and signs nest at most this deep.
constexpr int kMaxEquationNesting = 100;

// Compiles expression for the stack machine. On an expectation failure message receives
// "Expecting <what> here: "<rest of the text>""; it stays empty when the text is simply no
// expression (or has text left over). False when the expression is refused.
bool CompileEquation(const std::string& expression, EquationCode& code, std::string& message);

// out receives count samples for t = t0, t0 + dt, ... (dt added to the running t). A text that
// is no expression gives count quiet NaNs and false; an expectation failure is logged through
// XKVD as well. A count above kMaxEquationSamples gives an empty out and false.
bool Evaluate(const std::string& expression, double t0, double dt, unsigned count, std::vector<double>& out);

}  // namespace KVD
