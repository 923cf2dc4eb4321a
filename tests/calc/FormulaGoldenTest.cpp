// Formulas compiled against the test document, compared with their symbol lists and settings
// texts (tests/data/formula-golden.txt) or with their errors (tests/data/formula-errors.txt).
#include <gtest/gtest.h>

#include "FormulaCases.h"
#include "SymbolDump.h"
#include "TestDocument.h"

namespace CalcTest {
namespace {

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

TEST(FormulaGolden, SymbolListsAndSettings)
{
    const std::vector<FormulaCase> cases = ReadFormulaCases("formula-golden.txt");
    ASSERT_GT(cases.size(), 50u);
    for (const FormulaCase& formula : cases) {
        SCOPED_TRACE("formula-golden.txt:" + std::to_string(formula.line) + ": " + Utf8(formula.formula));
        Compiled compiled;
        Compile(formula.formula, compiled);
        ASSERT_EQ(compiled.code, 0) << Utf8(compiled.message);
        EXPECT_EQ(Joined(DumpRPN(compiled.rpn)), Joined(formula.expected));
    }
}

TEST(FormulaGolden, ErrorsWithMessagesAndPositions)
{
    const std::vector<FormulaCase> cases = ReadFormulaCases("formula-errors.txt");
    ASSERT_GT(cases.size(), 50u);
    for (const FormulaCase& formula : cases) {
        SCOPED_TRACE("formula-errors.txt:" + std::to_string(formula.line) + ": " + Utf8(formula.formula));
        ASSERT_EQ(formula.expected.size(), 1u);
        ExpectedError expected;
        ASSERT_TRUE(ParseExpectedError(formula.expected[0], expected));
        Compiled compiled;
        Compile(formula.formula, compiled);
        EXPECT_EQ(compiled.code, expected.code);
        EXPECT_EQ(compiled.position, expected.position);
        EXPECT_EQ(Utf8(compiled.message), Utf8(expected.message));
    }
}

}  // namespace
}  // namespace CalcTest
