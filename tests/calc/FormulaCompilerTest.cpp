// The compilation entry: what it does with the list it is given, statements without a value,
// the limits of nesting, and the user's number form in its messages.
#include <gtest/gtest.h>

#include "FormulaCases.h"
#include "SymbolDump.h"
#include "TestDocument.h"
#include "calc/CalcMessages.h"
#include "calc/FormulaToRPN.h"
#include "calc/Parser.h"
#include "calc/XArith.h"
#include "cf/Locale.h"
#include "foundation/LocaleInfo.h"

namespace CalcTest {
namespace {

std::string Text(const KVDXMLStringKey& key)
{
    return KVD::ToU8String(CalcParser::CalcText(key));
}

// The table's text with its one parameter filled in.
std::string Format(const KVDXMLStringKey& key, const std::string& value)
{
    std::string text = Text(key);
    const auto at = text.find("%1");
    return at == std::string::npos ? text : text.replace(at, 2, value);
}

TEST(FormulaCompiler, SymbolsAreAppendedToTheListGiven)
{
    Compiled compiled;
    compiled.rpn.Add(CalcParser::Symbol(CalcParser::kSymNumber, 7.0));
    Compile(L"ch1", compiled);
    ASSERT_EQ(compiled.code, 0);
    ASSERT_EQ(compiled.rpn.GetCount(), 2u);
    EXPECT_EQ(compiled.rpn[0].GetValue(), 7.0);
    EXPECT_EQ(compiled.rpn[1].GetType(), CalcParser::kSymChannel);
}

TEST(FormulaCompiler, StatementsWithoutAValueGiveAnEmptyList)
{
    for (const wchar_t* formula : {L"", L"   ", L";", L";;  ;", L"a = 1;", L"a = 1; b = a * 2;"}) {
        Compiled compiled;
        Compile(formula, compiled);
        EXPECT_EQ(compiled.code, 0) << Utf8(formula);
        EXPECT_EQ(compiled.rpn.GetCount(), 0u) << Utf8(formula);
    }
}

TEST(FormulaCompiler, ThePositionIsWrittenOnlyWhenAskedFor)
{
    CalcParser::RPNArray rpn;
    KVD::String message;
    EXPECT_EQ(CalcParser::formulaToRPN(KVD::String(L"1 +"), rpn, nullptr, {0, 0}, nullptr, message, nullptr),
              KVD_E_BADSTATE);
    EXPECT_EQ(KVD::ToU8String(message), Text(CalcEnumsStr::IDS_NUM_CH_FUNC_BRACKET_EXPECTED));
}

// Without channel information a numbered channel's kind is not known (0) and no title is
// found.
TEST(FormulaCompiler, BareCompilationKnowsNoTitlesOrHostVariables)
{
    Compiled compiled;
    Compile(L"ch2 * 2", compiled, true);
    ASSERT_EQ(compiled.code, 0);
    ASSERT_EQ(compiled.rpn.GetCount(), 2u);
    EXPECT_EQ(DumpSymbol(compiled.rpn[0]), "T5 \"ch2\" id=0 out=0x0 ch=1 w=0x40001000 use=1 ord=0 @0");
    EXPECT_EQ(DumpSymbol(compiled.rpn[1]), "T9 id=Arith:1 out=0x0 s=\"9\\t2\" @4");

    Compiled flow;
    Compile(L"flow", flow, true);
    EXPECT_EQ(flow.code, CalcParser::kArithUndefinedVariable);
    Compiled gain;
    Compile(L"gain", gain, true);
    EXPECT_EQ(gain.code, CalcParser::kArithUndefinedVariable);
}

TEST(FormulaCompiler, NestingBeyondTheLimitIsRefused)
{
    for (const wchar_t* open : {L"(", L"sin(", L"2^-", L"-(", L"lowpass("}) {
        std::wstring formula;
        for (int i = 0; i < 300; ++i)
            formula += open;
        formula += L"1";
        Compiled compiled;
        Compile(formula, compiled);
        EXPECT_EQ(compiled.code, KVD_E_BADSTATE) << Utf8(open);
        EXPECT_EQ(Utf8(compiled.message), Text(CalcEnumsStr::IDS_NESTING_TOO_DEEP)) << Utf8(open);
        EXPECT_GT(compiled.position, 0);
        EXPECT_LT(compiled.position, static_cast<long>(formula.size()));
    }
    std::wstring fine = L"1";
    for (int i = 0; i < 60; ++i)
        fine = L"(" + fine + L")";
    Compiled compiled;
    Compile(fine, compiled);
    EXPECT_EQ(compiled.code, 0);
}

// A flat chain of terms recurses as deeply as it is long when its samples are read: the
// compiler refuses more terms than it can run, and a text longer than it reads.
TEST(FormulaCompiler, TermsAndLengthBeyondTheLimitsAreRefused)
{
    const auto chain = [](unsigned terms) {
        std::wstring formula = L"ch1";
        for (unsigned i = 1; i < terms; ++i)
            formula += L"+ch1";
        return formula;
    };
    const unsigned limit = CalcParser::Parser::kMaxSymbols;
    Compiled fits;
    Compile(chain((limit + 1) / 2), fits);  // n terms make 2n - 1 symbols
    EXPECT_EQ(fits.code, 0);

    Compiled tooMany;
    Compile(chain(limit / 2 + 1), tooMany);
    EXPECT_EQ(tooMany.code, KVD_E_BADSTATE);
    EXPECT_EQ(Utf8(tooMany.message), Format(CalcEnumsStr::IDS_FORMULA_TOO_MANY_TERMS, "2000"));
    EXPECT_GT(tooMany.position, 0);

    // 60,000 terms: past the length limit, refused before any parsing.
    Compiled tooLong;
    Compile(chain(60000), tooLong);
    EXPECT_EQ(tooLong.code, KVD_E_BADSTATE);
    EXPECT_EQ(Utf8(tooLong.message), Format(CalcEnumsStr::IDS_FORMULA_TOO_LONG, "65536"));
    EXPECT_EQ(tooLong.position, -1);
    EXPECT_EQ(tooLong.rpn.GetCount(), 0u);
}

// A second assignment to a name is a use followed by a dropped "=": it fails at the final
// check, at the value of the statement that follows.
TEST(FormulaCompiler, SecondAssignmentLeavesTwoValues)
{
    Compiled compiled;
    Compile(L"a = 1; a = 2; a", compiled);
    EXPECT_EQ(compiled.code, KVD_E_BADSTATE);
    EXPECT_EQ(compiled.position, 11);
    EXPECT_EQ(Utf8(compiled.message), Text(CalcEnumsStr::IDS_INVALIDASSIGNMENT));
}

// Numbers in formulas are always written with '.'; messages show them in the user's form.
class DecimalCommaLocale : public ::testing::Test {
protected:
    void SetUp() override
    {
        CF::LocaleFacts facts;
        facts.decimalSeparator = ",";
        mCommaLocale = new LocaleInfo(facts);
        LocaleInfo::InitTheLocaleInfo();
        mSaved = LocaleInfo::sTheLocaleInfo.exchange(mCommaLocale);
    }
    void TearDown() override
    {
        LocaleInfo::sTheLocaleInfo.store(mSaved);
        delete mCommaLocale;
    }

private:
    LocaleInfo* mCommaLocale = nullptr;
    LocaleInfo* mSaved = nullptr;
};

TEST_F(DecimalCommaLocale, MessagesUseTheUsersSeparators)
{
    Compiled word;
    Compile(L"2 * .x", word);
    EXPECT_EQ(Utf8(word.message), KVD::ToU8String(CalcParser::FormatCalcText(CalcEnumsStr::IDS_I_DID_NOT_UNDERSTAND_X, L",x")));
    Compiled separator;
    Compile(L"sin(1,2 3)", separator);
    EXPECT_EQ(Utf8(separator.message), KVD::ToU8String(CalcParser::FormatCalcText(CalcEnumsStr::IDS_SEP_OR_BRACKET_EXPECTED, L';')));
    Compiled count;
    Compile(L"smooth(ch1, 3, 4)", count);
    EXPECT_EQ(Utf8(count.message),
              KVD::ToU8String(CalcParser::FormatCalcText(CalcEnumsStr::IDS_NUMERIC_PARAM_ERROR4, L"smooth", 1, 1, L"smooth",
                                                         L"Source;Width")));
    // The formula itself still reads '.' as the decimal point.
    Compiled number;
    Compile(L"1.5 * 2", number);
    ASSERT_EQ(number.code, 0);
    EXPECT_EQ(number.rpn[0].GetValue(), 3.0);
}

}  // namespace
}  // namespace CalcTest
