#include "calc/FormulaToRPN.h"

#include <string>

#include "calc/CalcMessages.h"
#include "calc/FormulaText.h"
#include "calc/Parser.h"
#include "calc/XArith.h"

namespace CalcParser {

KVD::String SpaceSigns(const KVD::String& formula)
{
    const wchar_t* text = formula.c_str();
    const unsigned length = formula.length();
    std::wstring spaced;
    spaced.reserve(length + 8);
    for (unsigned i = 0; i < length; ++i) {
        if (i > 0 && (text[i] == L'+' || text[i] == L'-') && IsFormulaDigit(text[i - 1]))
            spaced += L' ';
        spaced += text[i];
    }
    return spaced.size() == length ? formula : KVD::String(spaced);
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
