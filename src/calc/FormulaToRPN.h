// The entry of the formula compiler.
#pragma once

#include "IKVDCalcVariables.h"
#include "IKVDChannelInfo.h"
#include "calc/Symbol.h"

namespace CalcParser {

// The largest n of a numbered name such as ch followed by n.
constexpr int kNumberedNameLimit = 32;
// The longest formula text compiled; as long as a formula may grow by its macros.
constexpr unsigned kMaxFormulaLength = 65536;

// Compiles a channel-calculation formula into rpn, its symbols in reverse Polish order, with
// macros expanded, names resolved against the built-in table, the channels, the published
// functions and the variables, and constants folded. Answers 0, or the error's code with the
// message set and, when errorPosition is given and the parser found the error, the character
// index of the error in the prepared text. A text longer than kMaxFormulaLength is refused
// unread. After a failure rpn may hold a partial result.
HRESULT formulaToRPN(const KVD::String& formula, RPNArray& rpn, IKVDChannelInfo* channelInfo, TChannelId channel,
                     IKVDCalcVariables* variables, KVD::String& message, long* errorPosition);

// The formula with a blank before every sign that follows a digit, so that 2-3 reads as 2 -3
// (an exponent such as 1e-5 follows a letter and keeps its sign).
KVD::String SpaceSigns(const KVD::String& formula);

// The character index in the formula as typed of an error position that counts in its
// prepared text (signs spaced, lower-cased, macros expanded), for showing the formula as the
// user wrote it. A position inside text that a macro call became gives the start of the call.
unsigned TypedPosition(const KVD::String& formula, long preparedPosition);

}  // namespace CalcParser
