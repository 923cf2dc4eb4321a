#include "calc/FunctionExpansion.h"

#include <string>
#include <string_view>

#include "ResultCodes.h"
#include "calc/CalcMessages.h"
#include "calc/FindAndReplace.h"
#include "calc/FormulaText.h"
#include "calc/XArith.h"

namespace CalcParser {
namespace {

constexpr HRESULT kArgumentCountCode = static_cast<HRESULT>(0xF8008019);

std::wstring_view View(const KVD::String& text)
{
    return std::wstring_view(text.c_str(), text.length());
}

bool IsAlnum(wchar_t c)
{
    return IsFormulaLetter(c) || IsFormulaDigit(c);
}

// Commas outside brackets, plus one for a non-empty text.
unsigned CountArguments(std::wstring_view text)
{
    if (text.empty())
        return 0;
    unsigned count = 1;
    int depth = 0;
    for (wchar_t c : text) {
        if (c == L'(')
            ++depth;
        else if (c == L')')
            --depth;
        else if (c == L',' && depth == 0)
            ++count;
    }
    return count;
}

// Splits at commas outside brackets, dropping blanks and empty arguments. False when a ")"
// has no "(".
bool SplitArguments(std::wstring_view text, std::vector<std::wstring>& arguments)
{
    std::wstring current;
    int depth = 0;
    for (wchar_t c : text) {
        if (c == L' ')
            continue;
        if (c == L',' && depth == 0) {
            if (!current.empty())
                arguments.push_back(std::move(current));
            current.clear();
            continue;
        }
        if (c == L'(')
            ++depth;
        else if (c == L')' && --depth < 0)
            return false;
        current += c;
    }
    if (!current.empty())
        arguments.push_back(std::move(current));
    return true;
}

void CheckLength(size_t length)
{
    if (length > FunctionExpansion::kMaxExpandedLength)
        throw XArith(CalcText(CalcEnumsStr::IDS_FUNCTIONEXPANSION_TOO_LONG), 0, KVD_E_BADSTATE);
}

void CheckNesting(int nesting)
{
    if (nesting > FunctionExpansion::kMaxNesting)
        throw XArith(FormatCalcText(CalcEnumsStr::IDS_FUNCTIONEXPANSION_TOO_DEEP, FunctionExpansion::kMaxNesting), 0,
                     KVD_E_BADSTATE);
}

}  // namespace

FunctionExpansion::FunctionExpansion(const KVD::String& name, const KVD::String& replacement, KVD::String spec,
                                     KVD::String help)
    : mName(name), mTemplate(replacement), mHelp(help), mSearchName(LowerFormulaText(name))
{
    const std::wstring_view text = View(spec);
    size_t position = 0;
    while (position < text.size()) {
        const size_t start = text.find_first_not_of(L" \t\r\n\v\f", position);
        if (start == std::wstring_view::npos)
            break;
        const size_t stop = std::min(text.find_first_of(L" \t\r\n\v\f", start), text.size());
        mParams.emplace_back(std::wstring(text.substr(start, stop - start)));
        position = stop;
    }
}

FunctionExpansion& FunctionExpansion::operator=(FunctionExpansion&& other) noexcept
{
    mName = other.mName;
    mTemplate = other.mTemplate;
    mHelp = other.mHelp;
    mSearchName = other.mSearchName;
    mParams = std::move(other.mParams);
    other.mParams.clear();
    return *this;
}

bool FunctionExpansion::MayCall(const KVD::String& text) const
{
    return View(text).find(View(mSearchName)) != std::wstring_view::npos;
}

unsigned FunctionExpansion::GetNumOptionalParams() const
{
    unsigned optional = 0;
    for (const KVD::String& param : mParams)
        if (param.CaseInsensitiveCompare(KVD::String(L"req"), false) != 0)
            ++optional;
    return optional;
}

KVD::String FunctionExpansion::Replace(const KVD::String& argumentText) const
{
    return Replace(argumentText, 0);
}

KVD::String FunctionExpansion::Replace(const KVD::String& argumentText, int nesting) const
{
    std::vector<std::wstring> arguments;
    if (!SplitArguments(View(argumentText), arguments))
        return KVD::String();
    KVD::String result = mTemplate;
    for (size_t n = 0; n < arguments.size(); ++n) {
        const KVD::String placeholder(L"$" + std::to_wstring(n + 1));
        result = KVD::FindAndReplace(result, placeholder, Expand(KVD::String(arguments[n]), nesting + 1));
        CheckLength(result.length());
    }
    return result;
}

KVD::String FunctionExpansion::Expand(const KVD::String& text) const
{
    return Expand(text, 0);
}

KVD::String FunctionExpansion::Expand(const KVD::String& text, int nesting) const
{
    CheckNesting(nesting);
    const std::wstring_view source = View(text);
    std::wstring output;
    unsigned position = 0;
    unsigned copied = 0;
    KVD::String argument;
    for (;;) {
        unsigned end = static_cast<unsigned>(source.size());
        if (!gGetArgumentForFunction(text, mSearchName, position, end, argument))
            break;
        CompleteArguments(argument);
        output.append(source.substr(copied, position - copied));
        const KVD::String replaced = Replace(argument, nesting);
        output.append(replaced.c_str(), replaced.length());
        CheckLength(output.size());
        position = copied = end;
        if (end == source.size())
            break;
    }
    if (copied == 0 && output.empty())
        return text;
    output.append(source.substr(copied));
    CheckLength(output.size());
    return KVD::String(output);
}

// Appends the defaults of the optional parameters that the call left out.
void FunctionExpansion::CompleteArguments(KVD::String& argumentText) const
{
    if (mParams.empty())
        return;
    const unsigned count = CountArguments(View(argumentText));
    if (count < mParams.size() - GetNumOptionalParams())
        ThrowArgumentCount();
    for (size_t i = count; i < mParams.size(); ++i) {
        if (argumentText.length() != 0)
            argumentText += L", ";
        argumentText += mParams[i];
    }
}

void FunctionExpansion::ThrowArgumentCount() const
{
    const unsigned optional = GetNumOptionalParams();
    const unsigned required = static_cast<unsigned>(mParams.size()) - optional;
    if (optional > 0)
        throw XArith(FormatCalcText(CalcEnumsStr::IDS_FUNCTIONEXPANSION_ERROR2, mName, required, optional, mHelp), 0,
                     kArgumentCountCode);
    throw XArith(FormatCalcText(CalcEnumsStr::IDS_FUNCTIONEXPANSION_ERROR1, mName, required, mHelp), 0, kArgumentCountCode);
}

bool gGetArgumentForFunction(const KVD::String& text, const KVD::String& name, unsigned& position, unsigned& end,
                             KVD::String& argument)
{
    argument = KVD::String();
    const std::wstring_view source = View(text);
    const std::wstring_view searched = View(name);
    size_t start = source.find(searched, position);
    // Only a whole word is a call; an occurrence inside a longer word is passed over.
    for (;;) {
        if (start == std::wstring_view::npos || searched.empty())
            return false;
        const size_t after = start + searched.size();
        const bool joinedAfter = after < source.size() && IsAlnum(source[after]);
        const bool joinedBefore = start > 0 && IsAlnum(source[start - 1]);
        if (!joinedAfter && !joinedBefore)
            break;
        start = source.find(searched, start + 1);
    }
    std::wstring collected;
    int depth = 0;
    for (size_t i = start + searched.size(); i < source.size(); ++i) {
        const wchar_t c = source[i];
        if (c == L'(') {
            if (depth > 0)
                collected += c;
            ++depth;
        } else if (c == L')') {
            if (depth >= 2)
                collected += c;
            if (depth-- == 1) {
                end = static_cast<unsigned>(i + 1);
                break;
            }
        } else {
            collected += c;
        }
    }
    argument = KVD::String(collected);
    position = static_cast<unsigned>(start);
    return true;
}

}  // namespace CalcParser
