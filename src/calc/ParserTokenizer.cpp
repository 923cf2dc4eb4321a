// The tokenizer of the formula compiler. Numbers are always written with '.', whatever the
// user's locale; only the texts of error messages are shown in the user's form.
#include <charconv>
#include <string>

#include "calc/CalcMessages.h"
#include "calc/FormulaText.h"
#include "calc/Parser.h"
#include "calc/XArith.h"

namespace CalcParser {
namespace {

bool IsNameChar(wchar_t c)
{
    return IsFormulaLetter(c) || IsFormulaDigit(c) || c == L'_';
}

SymType SingleCharacterToken(wchar_t c)
{
    switch (c) {
    case L'(':
        return kSymLeftParen;
    case L')':
        return kSymRightParen;
    case L'*':
        return kSymMul;
    case L'+':
        return kSymPlus;
    case L',':
        return kSymComma;
    case L'-':
        return kSymMinus;
    case L'/':
        return kSymDiv;
    case L';':
        return kSymPrint;
    case L'=':
        return kSymAssign;
    case L'^':
        return kSymPow;
    default:
        return kSymEnd;
    }
}

SymType ElementWiseToken(wchar_t c)
{
    switch (c) {
    case L'*':
        return kSymMulByElement;
    case L'/':
        return kSymDivByElement;
    case L'^':
        return kSymPowByElement;
    default:
        return kSymEnd;
    }
}

}  // namespace

void Parser::GetSymbol()
{
    while (mNext < mText.size() && IsFormulaSpace(mText[mNext]))
        ++mNext;
    const int64_t start = static_cast<int64_t>(mNext);
    if (mNext >= mText.size()) {
        // The end of the input carries the length of the text, so that an error found there
        // points just past the last character.
        mCurrent = Symbol(Symbol::CreateRepFromType(kSymEnd));
        mCurrent.Set()->SetTextPosition(start);
        return;
    }
    const wchar_t c = mText[mNext++];
    const wchar_t following = mNext < mText.size() ? mText[mNext] : L'\0';
    if (SingleCharacterToken(c) != kSymEnd) {
        mCurrent = Symbol(Symbol::CreateRepFromType(SingleCharacterToken(c)));
    } else if (c == L'.' && !IsFormulaDigit(following) && ElementWiseToken(following) != kSymEnd) {
        ++mNext;
        mCurrent = Symbol(Symbol::CreateRepFromType(ElementWiseToken(following)));
    } else if (c == L'"') {
        ReadString();
    } else if (IsFormulaDigit(c) || c == L'.') {
        ReadNumber(start);
    } else if (IsFormulaLetter(c) || c == L'_' || c == L'$') {
        ReadName(start);
    } else {
        ThrowUnrecognised(start, KVD::String());
    }
    mCurrent.Set()->SetTextPosition(start);
}

// Digits with an optional fraction, then an optional exponent. A number needs a digit before
// its exponent, and an exponent needs a digit ("1e" is not a number).
void Parser::ReadNumber(int64_t start)
{
    size_t end = static_cast<size_t>(start);
    size_t digits = 0;
    for (; end < mText.size() && IsFormulaDigit(mText[end]); ++end)
        ++digits;
    if (end < mText.size() && mText[end] == L'.')
        for (++end; end < mText.size() && IsFormulaDigit(mText[end]); ++end)
            ++digits;
    if (digits == 0)
        ThrowUnrecognised(start, KVD::String());
    if (end < mText.size() && (mText[end] == L'e' || mText[end] == L'E')) {
        size_t exponent = end + 1;
        if (exponent < mText.size() && (mText[exponent] == L'+' || mText[exponent] == L'-'))
            ++exponent;
        const size_t firstDigit = exponent;
        while (exponent < mText.size() && IsFormulaDigit(mText[exponent]))
            ++exponent;
        if (exponent == firstDigit)
            ThrowUnrecognised(start, KVD::String());
        end = exponent;
    }
    std::string ascii(mText.begin() + start, mText.begin() + end);
    double value = 0;
    const auto [stop, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc() || stop != ascii.data() + ascii.size())
        ThrowUnrecognised(start, KVD::String());  // beyond the range of a double
    mNext = end;
    mCurrent = Symbol(kSymNumber, value);
}

// A name may start with "$"; it goes on with letters, digits and "_".
void Parser::ReadName(int64_t start)
{
    while (mNext < mText.size() && IsNameChar(mText[mNext]))
        ++mNext;
    const KVD::String name(mText.data() + start, static_cast<unsigned>(mNext - start));
    mCurrent = NameToSymbol(name);
    if (mCurrent.GetType() == kSymEnd)
        ThrowUnrecognised(start, name);
}

// Up to the next double quote or the end of the input; there are no escapes.
void Parser::ReadString()
{
    const size_t start = mNext;
    while (mNext < mText.size() && mText[mNext] != L'"')
        ++mNext;
    const KVD::String text(mText.data() + start, static_cast<unsigned>(mNext - start));
    if (mNext < mText.size())
        ++mNext;
    mCurrent = Symbol(kSymString, text);
}

// word is the name for a name; for anything else the whitespace-delimited word at the token,
// in the user's number form, is shown.
void Parser::ThrowUnrecognised(int64_t start, const KVD::String& word) const
{
    KVD::String shown = word;
    if (shown.empty()) {
        size_t end = static_cast<size_t>(start);
        while (end < mText.size() && !IsFormulaSpace(mText[end]))
            ++end;
        shown = LocalizeNumText(KVD::String(mText.data() + start, static_cast<unsigned>(end - start)));
        if (shown.length() >= 3 && shown[shown.length() - 1] == L';')
            shown = shown.substr(0, shown.length() - 1);
    }
    const KVD::String& format = CalcText(CalcEnumsStr::IDS_I_DID_NOT_UNDERSTAND_X);
    if (format.empty())
        ThrowAt(KVD::String(L"CalcParser didn't understand: "), start);
    ThrowAt(FormatCalcText(CalcEnumsStr::IDS_I_DID_NOT_UNDERSTAND_X, QuoteWord(shown)), start);
}

}  // namespace CalcParser
