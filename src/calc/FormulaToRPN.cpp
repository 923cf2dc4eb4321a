#include "calc/FormulaToRPN.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "calc/CalcMessages.h"
#include "calc/FormulaText.h"
#include "calc/Parser.h"
#include "calc/XArith.h"

namespace CalcParser {

namespace {

// Whether the preparation puts a blank before character i.
bool SpacedBefore(const wchar_t* text, unsigned i)
{
    return i > 0 && (text[i] == L'+' || text[i] == L'-') && IsFormulaDigit(text[i - 1]);
}

std::wstring_view View(const KVD::String& text)
{
    return std::wstring_view(text.c_str(), text.length());
}

// The position in the spaced, lower-cased text of a position in what the macros made of it.
// The two texts agree up to the first macro call and after the last one; a position between
// lies in what the calls became, and goes to where the first of them starts.
size_t UnexpandedPosition(std::wstring_view spaced, std::wstring_view expanded, size_t position)
{
    size_t prefix = 0;
    while (prefix < spaced.size() && prefix < expanded.size() && spaced[prefix] == expanded[prefix])
        ++prefix;
    if (position <= prefix)
        return position;
    const size_t most = std::min(spaced.size(), expanded.size()) - prefix;
    size_t suffix = 0;
    while (suffix < most && spaced[spaced.size() - 1 - suffix] == expanded[expanded.size() - 1 - suffix])
        ++suffix;
    if (position >= expanded.size() - suffix)
        return spaced.size() - (expanded.size() - position);
    return prefix;
}

}  // namespace

KVD::String SpaceSigns(const KVD::String& formula)
{
    const wchar_t* text = formula.c_str();
    const unsigned length = formula.length();
    std::wstring spaced;
    spaced.reserve(length + 8);
    for (unsigned i = 0; i < length; ++i) {
        if (SpacedBefore(text, i))
            spaced += L' ';
        spaced += text[i];
    }
    return spaced.size() == length ? formula : KVD::String(spaced);
}

unsigned TypedPosition(const KVD::String& formula, long preparedPosition)
{
    const KVD::String spaced = LowerFormulaText(SpaceSigns(formula));
    KVD::String expanded = spaced;
    KVD::String unused;
    Parser::sDoFunctionExpansions(spaced, expanded, unused);
    const size_t clamped = std::min(static_cast<size_t>(std::max(preparedPosition, 0L)), size_t(expanded.length()));
    const size_t position = UnexpandedPosition(View(spaced), View(expanded), clamped);
    // Back over the blanks the spacing put in: one that is wrong points at its sign.
    size_t at = 0;
    for (unsigned i = 0; i < formula.length(); ++i) {
        if (SpacedBefore(formula.c_str(), i))
            ++at;
        if (position <= at)
            return i;
        ++at;
    }
    return formula.length();
}

HRESULT formulaToRPN(const KVD::String& formula, RPNArray& rpn, IKVDChannelInfo* channelInfo, TChannelId channel,
                     IKVDCalcVariables* variables, KVD::String& message, long* errorPosition)
{
    if (formula.length() > kMaxFormulaLength) {
        message = FormatCalcText(CalcEnumsStr::IDS_FORMULA_TOO_LONG, kMaxFormulaLength);
        return KVD_E_BADSTATE;
    }
    KVD::String expanded;
    if (!Parser::sDoFunctionExpansions(SpaceSigns(formula), expanded, message))
        return KVD_E_BADSTATE;
    try {
        Parser parser(rpn, expanded, channelInfo, channel, variables, kNumberedNameLimit);
    } catch (const XArith& error) {
        message = error.Message();
        if (errorPosition != nullptr)
            *errorPosition = static_cast<long>(error.Position());
        return error.Code();
    }
    return KVD_S_OK;
}

}  // namespace CalcParser
