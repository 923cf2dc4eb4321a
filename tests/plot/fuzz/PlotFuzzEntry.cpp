#include "plot/fuzz/PlotFuzzEntry.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "plot/Evaluate.h"
#include "plot/MarkupParse.h"
#include "plot/MarkupToJSON.h"
#include "plot/ScriptCalls.h"

namespace PlotFuzz {
namespace {

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool IsFailedSample(double sample)
{
    uint64_t bits;
    std::memcpy(&bits, &sample, sizeof bits);
    return bits == 0x7FF8600000000000ull;
}

}  // namespace

std::string CheckMarkup(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Lumo::Markup::AST ast;
    std::string error;
    int line = 0;
    const bool parsed = Lumo::TmplParse::Parse(text, ast, error, line);
    std::string call;
    std::string callError;
    if (Lumo::GetSetMarkupJS(text, "p", call, callError) != parsed)
        return "the setup call disagrees with the parser";
    if (parsed) {
        const std::string literal = Lumo::ToScriptLiteral(ast);
        if (!StartsWith(literal, "[\n") || literal.size() < 4 || literal.compare(literal.size() - 2, 2, "\n]") != 0)
            return "a literal that is no array";
        if (call != "lumo.get_plot('p').setup(" + literal + ");")
            return "the setup call does not hold the literal";
        return "";
    }
    if (callError != error)
        return "the setup call keeps another error than the parser's";
    if (error.empty())
        return "";
    if (!StartsWith(error, "Expected ") && !StartsWith(error, "Missing comma on line "))
        return "an error text of an unknown form: " + error;
    const int lines = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    if (line < 1 || line > lines)
        return "error line " + std::to_string(line) + " outside the text's " + std::to_string(lines) + " lines";
    if (error.find(" on line " + std::to_string(line) + ": ") == std::string::npos)
        return "the message names another line than " + std::to_string(line) + ": " + error;
    return "";
}

std::string CheckEquation(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    KVD::EquationCode code;
    std::string message;
    const bool compiled = KVD::CompileEquation(text, code, message);
    if (!message.empty() && !StartsWith(message, "Expecting "))
        return "a message of an unknown form: " + message;
    const int need = KVD::VM::StackNeed(code);
    if (compiled && (need < 1 || need > KVD::VM::kStackSize))
        return "compiled code that needs " + std::to_string(need) + " stack entries";
    constexpr unsigned kCount = 5;
    std::vector<double> out;
    const bool evaluated = KVD::Evaluate(text, 0.25, 0.5, kCount, out);
    if (evaluated != compiled)
        return "Evaluate disagrees with the compiler";
    if (out.size() != kCount)
        return "Evaluate gave " + std::to_string(out.size()) + " samples";
    if (!evaluated && !std::all_of(out.begin(), out.end(), IsFailedSample))
        return "a failed evaluation with samples other than the failure NaN";
    if (evaluated) {
        KVD::VM vm;
        const double last = vm.Execute(0.25 + 0.5 * 4, code);
        if (!(last == out.back() || (std::isnan(last) && std::isnan(out.back()))))
            return "a sample differs from the machine's own run";
    }
    return "";
}

}  // namespace PlotFuzz
