#include "FormulaFuzzEntry.h"

#include "TestDocument.h"
#include "calc/FormulaToRPN.h"
#include "calc/Parser.h"
#include "calc/XArith.h"

namespace CalcTest {
namespace {

using CalcParser::SymType;

// Kinds that only the grammar sees; none is left in a compiled list.
bool IsGrammarOnly(SymType type)
{
    switch (type) {
    case CalcParser::kSymEnd:
    case CalcParser::kSymPrint:
    case CalcParser::kSymLeftParen:
    case CalcParser::kSymRightParen:
    case CalcParser::kSymAssign:
    case CalcParser::kSymChanName:
    case CalcParser::kSymComma:
        return true;
    default:
        return false;
    }
}

bool ConsumesSources(SymType type)
{
    return type == CalcParser::kSymFunction || (type >= CalcParser::kSymUnaryMinus && type <= CalcParser::kSymAtan2) ||
           (type >= CalcParser::kSymMulByElement && type <= CalcParser::kSymPowByElement);
}

// Evaluated with a stack, the list leaves exactly one value. A function whose required
// sources are fewer than its sources does not say how many a call gave: such lists are not
// checked.
std::string CheckEvaluation(const CalcParser::RPNArray& rpn)
{
    long depth = 0;
    for (const CalcParser::Symbol& symbol : rpn) {
        if (IsGrammarOnly(symbol.GetType()))
            return "a compiled list holds a symbol of kind " + std::to_string(symbol.GetType());
        if (ConsumesSources(symbol.GetType())) {
            const long required = symbol->GetNRequiredSources();
            if (required >= 0 && required < symbol->GetNSources())
                return "";
            depth -= symbol->GetNSources();
            if (depth < 0)
                return "an operation of kind " + std::to_string(symbol.GetType()) + " lacks operands";
        }
        ++depth;
    }
    if (depth != (rpn.GetCount() > 0 ? 1 : 0))
        return "the list leaves " + std::to_string(depth) + " values";
    return "";
}

}  // namespace

std::wstring FormulaFromBytes(const uint8_t* data, size_t size)
{
    return std::wstring(data, data + size);
}

std::string CheckFormula(const std::wstring& formula)
{
    if (formula.size() > CalcParser::kMaxFormulaLength) {
        Compiled refused;
        Compile(formula, refused);
        return refused.code == KVD_E_BADSTATE && refused.position == -1 && refused.rpn.GetCount() == 0
                   ? ""
                   : "a formula over the length limit was not refused unread";
    }
    KVD::String prepared;
    KVD::String expansionMessage;
    const bool expanded = CalcParser::Parser::sDoFunctionExpansions(
        CalcParser::SpaceSigns(KVD::String(formula)), prepared, expansionMessage);
    Compiled compiled;
    Compile(formula, compiled);
    if (compiled.code == 0)
        return expanded ? CheckEvaluation(compiled.rpn) : "compiled although the macro stage failed";
    if (compiled.code != KVD_E_BADSTATE && compiled.code != CalcParser::kArithUndefinedVariable)
        return "unexpected code " + std::to_string(compiled.code);
    if (compiled.message.empty())
        return "an error without a message";
    if (!expanded)
        return compiled.position == -1 ? "" : "a macro error with a position";
    if (compiled.position < 0 || compiled.position > static_cast<long>(prepared.length()))
        return "position " + std::to_string(compiled.position) + " outside the prepared text of " +
               std::to_string(prepared.length()) + " characters";
    return "";
}

}  // namespace CalcTest
