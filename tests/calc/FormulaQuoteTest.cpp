// Showing a formula in a message: error positions taken back to the text as typed, and the
// piece of it that a message quotes.
#include <gtest/gtest.h>

#include <string>

#include "FormulaCases.h"
#include "TestDocument.h"
#include "calc/FormulaText.h"
#include "calc/FormulaToRPN.h"

namespace CalcTest {
namespace {

using CalcParser::QuoteFormula;
using CalcParser::TypedPosition;

// The position of the formula's first error, in the text as typed.
long TypedErrorPosition(const std::wstring& formula)
{
    Compiled compiled;
    Compile(formula, compiled);
    EXPECT_NE(compiled.code, 0) << Utf8(formula);
    return compiled.position < 0 ? -1 : static_cast<long>(TypedPosition(KVD::String(formula), compiled.position));
}

TEST(FormulaQuote, ErrorsPointAtTheStartOfWhatIsWrongInTheTextAsTyped)
{
    // Lower-casing keeps the places; the caret goes to the start of the unknown name.
    EXPECT_EQ(TypedErrorPosition(L"CH1 + FooBar"), 6);
    // A sign after a digit is spaced before parsing: the typed text has no such blank.
    EXPECT_EQ(TypedErrorPosition(L"2-ch1 * )"), 8);
    EXPECT_EQ(TypedErrorPosition(L"1-2-3-ch1)"), 9);
    // An unmatched ")" is refused where it stands.
    EXPECT_EQ(TypedErrorPosition(L"Ch1*2)"), 5);
    // After a macro call the places move by what the call became; inside it the caret goes
    // to the call.
    EXPECT_EQ(TypedErrorPosition(L"Square(ch1) + NoSuch"), 14);
    EXPECT_EQ(TypedErrorPosition(L"1 + square(nosuch)"), 4);
    // An error at the end of the input points just past the text.
    EXPECT_EQ(TypedErrorPosition(L"ch1 * (2 +"), 10);
}

TEST(FormulaQuote, ABlankThatTheSpacingPutInPointsAtItsSign)
{
    // "2-3" is read as "2 -3": positions 1 and 2 of that text are both the typed "-".
    EXPECT_EQ(TypedPosition(KVD::String(L"2-3"), 1), 1u);
    EXPECT_EQ(TypedPosition(KVD::String(L"2-3"), 2), 1u);
    EXPECT_EQ(TypedPosition(KVD::String(L"2-3"), 3), 2u);
    EXPECT_EQ(TypedPosition(KVD::String(L"2-3"), 99), 3u);
}

TEST(FormulaQuote, AShortFormulaIsQuotedWholeWithTheCaretUnderThePosition)
{
    EXPECT_EQ(Utf8(QuoteFormula(KVD::String(L"CH1 + FooBar"), 6, KVD::String(L"  "))),
              "  CH1 + FooBar\n        ^");
    EXPECT_EQ(Utf8(QuoteFormula(KVD::String(L"ch1 *"), 5, KVD::String())), "ch1 *\n     ^");
    // Tabs and line breaks would move the caret: they are shown as blanks.
    EXPECT_EQ(Utf8(QuoteFormula(KVD::String(L"a\t=\n1"), 4, KVD::String())), "a = 1\n    ^");
}

TEST(FormulaQuote, ALongFormulaIsQuotedAroundThePositionWithEllipses)
{
    std::wstring formula;
    for (int i = 0; i < 300; ++i)
        formula += static_cast<wchar_t>(L'a' + i % 26);
    const KVD::String text(formula);
    const unsigned width = CalcParser::kQuoteWidth;

    const std::string middle = Utf8(QuoteFormula(text, 150, KVD::String()));
    const std::string piece = Utf8(KVD::String(formula.substr(150 - width / 2, width)));
    EXPECT_EQ(middle, "..." + piece + "...\n" + std::string(3 + width / 2, ' ') + "^");

    const std::string start = Utf8(QuoteFormula(text, 2, KVD::String()));
    EXPECT_EQ(start, Utf8(KVD::String(formula.substr(0, width))) + "...\n  ^");

    const std::string end = Utf8(QuoteFormula(text, 300, KVD::String()));
    EXPECT_EQ(end, "..." + Utf8(KVD::String(formula.substr(300 - width))) + "\n" + std::string(3 + width, ' ') + "^");
}

TEST(FormulaQuote, MessagesCutTheLongWordsTheyQuote)
{
    const std::wstring name(5000, L'x');
    Compiled unknown;
    Compile(L"ch1 + " + name, unknown);
    const std::wstring cut = std::wstring(CalcParser::kQuoteWidth / 2 - 3, L'x') + L"...";
    EXPECT_EQ(unknown.message.rfind(L"'" + cut + L"'", 0), 0u) << Utf8(unknown.message);
    EXPECT_EQ(unknown.position, 6);

    Compiled word;
    Compile(L"2 * #" + name, word);
    EXPECT_NE(word.message.find(L"#" + std::wstring(CalcParser::kQuoteWidth / 2 - 4, L'x') + L"..."),
              std::wstring::npos)
        << Utf8(word.message);
    EXPECT_LT(word.message.size(), 200u);
}

}  // namespace
}  // namespace CalcTest
