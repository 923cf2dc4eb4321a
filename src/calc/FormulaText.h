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

}  // namespace CalcParser
