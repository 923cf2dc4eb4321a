#include "calc/FormulaText.h"

#include <algorithm>
#include <string>

#include "foundation/BoundedCopy.h"

namespace CalcParser {

KVD::String LowerFormulaText(const KVD::String& text)
{
    const wchar_t* chars = text.c_str();
    unsigned i = 0;
    while (chars[i] != 0 && LowerFormulaChar(chars[i]) == chars[i])
        ++i;
    if (chars[i] == 0)
        return text;
    KVD::String lower(text);
    wcstolowercase_s(lower.Data(), lower.GetCapacity());
    return lower;
}

KVD::String QuoteFormula(const KVD::String& text, unsigned position, const KVD::String& indent)
{
    const unsigned length = text.length();
    position = std::min(position, length);
    // Half a quote before the position where the text has it, the rest after.
    const unsigned end = std::min(length, std::max(position + kQuoteWidth / 2, kQuoteWidth));
    const unsigned start = end > kQuoteWidth ? end - kQuoteWidth : 0;
    const std::wstring ellipsis = L"...";

    std::wstring lines(indent.c_str(), indent.length());
    if (start > 0)
        lines += ellipsis;
    for (unsigned i = start; i < end; ++i)
        lines += IsFormulaSpace(text[i]) ? L' ' : text[i];
    if (end < length)
        lines += ellipsis;
    lines += L'\n';
    lines.append(indent.c_str(), indent.length());
    lines.append((start > 0 ? ellipsis.size() : 0) + position - start, L' ');
    lines += L'^';
    return KVD::String(lines);
}

KVD::String QuoteWord(const KVD::String& word)
{
    constexpr unsigned kLongest = kQuoteWidth / 2;
    if (word.length() <= kLongest)
        return word;
    KVD::String cut(word.c_str(), kLongest - 3);
    cut += L"...";
    return cut;
}

}  // namespace CalcParser
