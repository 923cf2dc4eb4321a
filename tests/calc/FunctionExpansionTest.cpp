// The macro stage: table-driven expansions (tests/data/formula-macros.txt) and the pieces that
// work on one call.
#include <gtest/gtest.h>

#include <string>

#include "FormulaCases.h"
#include "calc/CalcMessages.h"
#include "calc/FindAndReplace.h"
#include "calc/FunctionExpansion.h"
#include "calc/Parser.h"
#include "calc/XArith.h"

namespace CalcTest {
namespace {

using CalcParser::FunctionExpansion;
using CalcParser::Parser;

TEST(FunctionExpansion, TableOfExpansions)
{
    const std::vector<FormulaCase> cases = ReadFormulaCases("formula-macros.txt");
    ASSERT_GT(cases.size(), 25u);
    for (const FormulaCase& macro : cases) {
        SCOPED_TRACE("formula-macros.txt:" + std::to_string(macro.line) + ": " + Utf8(macro.formula));
        ASSERT_EQ(macro.expected.size(), 1u);
        KVD::String expanded(L"untouched");
        KVD::String message;
        const bool expandedAll = Parser::sDoFunctionExpansions(KVD::String(macro.formula), expanded, message);
        ExpectedError error;
        if (ParseExpectedError(macro.expected[0], error)) {
            EXPECT_FALSE(expandedAll);
            EXPECT_EQ(Utf8(message), Utf8(error.message));
            EXPECT_EQ(Utf8(expanded), "untouched");
        } else {
            ASSERT_EQ(macro.expected[0].substr(0, 2), "= ");
            EXPECT_TRUE(expandedAll) << Utf8(message);
            EXPECT_EQ(Utf8(expanded), macro.expected[0].substr(2));
        }
    }
}

TEST(FunctionExpansion, OptionalParametersAreThoseThatAreNotReq)
{
    EXPECT_EQ(FunctionExpansion(L"M", L"$1", L"req REQ 0.5", L"").GetNumOptionalParams(), 1u);
    EXPECT_EQ(FunctionExpansion(L"M", L"$1", L"", L"").GetNumOptionalParams(), 0u);
    EXPECT_EQ(FunctionExpansion(L"M", L"$1", L"  1.0\t0.0 ", L"").GetNumOptionalParams(), 2u);
}

TEST(FunctionExpansion, ReplaceFillsThePlaceholdersInOrder)
{
    const FunctionExpansion product(L"Product", L"($1)*($2)", L"req req", L"");
    EXPECT_EQ(Utf8(product.Replace(L"a, b")), "(a)*(b)");
    EXPECT_EQ(Utf8(product.Replace(L"a , b")), "(a)*(b)");
    EXPECT_EQ(Utf8(product.Replace(L"f(x, y), 2")), "(f(x,y))*(2)");
    EXPECT_EQ(Utf8(product.Replace(L"a,,b")), "(a)*(b)");
    // A placeholder without an argument stays; a ")" without its "(" gives nothing.
    EXPECT_EQ(Utf8(product.Replace(L"a")), "(a)*($2)");
    EXPECT_EQ(Utf8(product.Replace(L"")), "($1)*($2)");
    EXPECT_EQ(Utf8(product.Replace(L"a)")), "");
    // An argument text may hold the next placeholder: later placeholders see it.
    EXPECT_EQ(Utf8(product.Replace(L"$2, b")), "(b)*(b)");
}

TEST(FunctionExpansion, FindAndReplaceNeverSearchesWhatItInserted)
{
    using KVD::FindAndReplace;
    EXPECT_EQ(Utf8(FindAndReplace(KVD::String(L"aXbXc"), KVD::String(L"X"), KVD::String(L"YY"))), "aYYbYYc");
    EXPECT_EQ(Utf8(FindAndReplace(KVD::String(L"aaa"), KVD::String(L"aa"), KVD::String(L"b"))), "ba");
    EXPECT_EQ(Utf8(FindAndReplace(KVD::String(L"ab"), KVD::String(L"b"), KVD::String(L"bb"))), "abb");
    EXPECT_EQ(Utf8(FindAndReplace(KVD::String(L"ab"), KVD::String(L""), KVD::String(L"x"))), "ab");
}

TEST(FunctionExpansion, ArgumentOfACallIsFoundAsAWholeWord)
{
    const KVD::String text(L"xrms(1) + rms (a,(b)) - rms");
    unsigned position = 0;
    unsigned end = 99;
    KVD::String argument;
    ASSERT_TRUE(CalcParser::gGetArgumentForFunction(text, KVD::String(L"rms"), position, end, argument));
    EXPECT_EQ(position, 10u);
    EXPECT_EQ(end, 21u);
    EXPECT_EQ(Utf8(argument), " a,(b)");
    position = end;
    end = 99;
    ASSERT_TRUE(CalcParser::gGetArgumentForFunction(text, KVD::String(L"rms"), position, end, argument));
    EXPECT_EQ(position, 24u);
    EXPECT_EQ(end, 99u);  // not closed: the end is not written
    EXPECT_EQ(Utf8(argument), "");
    position = 25;
    EXPECT_FALSE(CalcParser::gGetArgumentForFunction(text, KVD::String(L"rms"), position, end, argument));
    EXPECT_EQ(position, 25u);
}

// Placeholders that repeat their arguments would let nested calls grow without limit.
TEST(FunctionExpansion, ExpansionIsBounded)
{
    std::wstring nested = L"x";
    for (int i = 0; i < 20; ++i)
        nested = L"thresholdval(" + nested + L", 0, 1, 2)";
    KVD::String expanded;
    KVD::String message;
    EXPECT_FALSE(Parser::sDoFunctionExpansions(KVD::String(nested), expanded, message));
    EXPECT_EQ(Utf8(message), Utf8(CalcParser::CalcText(CalcEnumsStr::IDS_FUNCTIONEXPANSION_TOO_LONG)));

    std::wstring shallow = L"x";
    for (int i = 0; i < 10; ++i)
        shallow = L"square(" + shallow + L")";
    EXPECT_TRUE(Parser::sDoFunctionExpansions(KVD::String(shallow), expanded, message));
    EXPECT_EQ(expanded.length(), 1u + 10 * 4);
}

// Calls nested deeper than the limit are refused for their depth, however short the text.
TEST(FunctionExpansion, NestingIsBoundedAndSaysSo)
{
    const auto nested = [](int depth) {
        std::wstring text;
        for (int i = 0; i < depth; ++i)
            text += L"square(";
        return text + L"x" + std::wstring(depth, L')');
    };
    const int limit = CalcParser::FunctionExpansion::kMaxNesting;
    KVD::String expanded;
    KVD::String message;
    EXPECT_TRUE(Parser::sDoFunctionExpansions(KVD::String(nested(limit)), expanded, message));
    EXPECT_EQ(expanded.length(), 1u + limit * 4);
    for (int depth : {limit + 1, 200}) {
        EXPECT_FALSE(Parser::sDoFunctionExpansions(KVD::String(nested(depth)), expanded, message));
        EXPECT_EQ(Utf8(message), "Macro calls are nested too deeply: they may be nested at most 64 deep.");
    }
}

}  // namespace
}  // namespace CalcTest
