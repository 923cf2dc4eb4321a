// The character classes of the formula language. Formulas are read in the classic "C" locale:
// letters and digits are ASCII, and so is case.
#pragma once

#include "foundation/KVDString.h"

namespace CalcParser {

inline bool IsFormulaSpace(wchar_t c)
{
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

inline bool IsFormulaDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

inline bool IsFormulaLetter(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

inline wchar_t LowerFormulaChar(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c;
}

// The text with A-Z lower-cased; a text without capitals is shared, not copied.
KVD::String LowerFormulaText(const KVD::String& text);

// The most characters of a formula that a message quotes.
constexpr unsigned kQuoteWidth = 80;

// Two lines for a message, each after indent: the text around position (at most kQuoteWidth
// of its characters, "..." where it is cut, white space shown as blanks) and a caret under
// position, which may be the text's length (just past its end).
KVD::String QuoteFormula(const KVD::String& text, unsigned position, const KVD::String& indent);

// A word of a formula for a message: one longer than a quote's half is cut, with "...".
KVD::String QuoteWord(const KVD::String& word);

}  // namespace CalcParser
