#include "calc/Parser.h"

#include <vector>

#include "calc/CalcMessages.h"
#include "calc/FormulaText.h"
#include "calc/RPNOps.h"
#include "calc/VariableRep.h"
#include "calc/XArith.h"
#include "foundation/ElfHash.h"

namespace CalcParser {
namespace {

KVD::String Join(const KVD::String& first, const wchar_t* separator, const KVD::String& second)
{
    KVD::String joined(first);
    joined += separator;
    joined += second;
    return joined;
}

// Identifies a source for the use marking: the channel id and the data kind.
struct SourceUse {
    CalcEnums::CCalcEnumSourceInfo info;
    unsigned index;  // of the symbol that first used the source
};

bool SameSource(const CalcEnums::CCalcEnumSourceInfo& a, const CalcEnums::CCalcEnumSourceInfo& b)
{
    return a.channel.channel == b.channel.channel && a.channel.blockDataType == b.channel.blockDataType &&
           a.dataType == b.dataType;
}

}  // namespace

size_t Parser::KeyHash::operator()(const KVD::String& key) const
{
    return gElfHashStr(key.c_str(), 0);
}

Parser::NestingGuard::NestingGuard(Parser& parser) : mParser(parser)
{
    if (++mParser.mNesting > kMaxNesting)
        mParser.ThrowAt(CalcText(CalcEnumsStr::IDS_NESTING_TOO_DEEP), mParser.CurrentPosition());
}

Parser::Parser(RPNArray& rpn, const KVD::String& text, IKVDChannelInfo* channelInfo, TChannelId channel,
               IKVDCalcVariables* variables, int numberLimit)
    : mStack(8, 8),
      mText(text.c_str(), text.length()),
      mNumberLimit(numberLimit),
      mChannel(channel),
      mChannelInfo(channelInfo),
      mVariables(variables)
{
    mLocalVariables.max_load_factor(1.0f);
    sInitNameToSymbolTable();
    Parse(rpn, numberLimit);
}

void Parser::Parse(RPNArray& rpn, int numberLimit)
{
    mVariableReferences = 0;
    mRpn = &rpn;
    mNumberLimit = numberLimit;
    mCurrent = Symbol(Symbol::CreateRepFromType(kSymPrint));
    // A token that ends a statement without being ";" is passed over: one such token is
    // dropped and the next statement starts after it. A ")" there closes nothing: dropping it
    // would hide a bracket the user misplaced.
    for (;;) {
        GetSymbol();
        if (mCurrent.GetType() == kSymEnd)
            break;
        if (mCurrent.GetType() == kSymPrint)
            continue;
        Expression(false);
        if (mCurrent.GetType() == kSymRightParen)
            ThrowAt(CalcText(CalcEnumsStr::IDS_UNMATCHED_CLOSING_BRACKET), CurrentPosition());
    }
    CheckSingleValue();
    MarkSourceUses();
    mRpn = nullptr;
}

// At most one statement may leave a value.
void Parser::CheckSingleValue() const
{
    if (const SymbolRep* second = StackEntry(mStack, 2))
        ThrowAt(CalcText(CalcEnumsStr::IDS_INVALIDASSIGNMENT), second->GetTextPosition());
}

// A source read once gets use mode 1; one read several times gets 2 at its first use and 3 at
// every later one. All uses of a source share its ordinal, counted from 0 in order of first use.
void Parser::MarkSourceUses()
{
    std::vector<SourceUse> sources;
    for (unsigned i = 0; i < Count(*mRpn); ++i) {
        Symbol& symbol = (*mRpn)[i];
        if (symbol.GetType() != kSymChannel && symbol.GetType() != kSymSource)
            continue;
        CalcEnums::CCalcEnumSourceInfo info{{kNoChannelNumber, 0xC0000000}, kEnumDataSamples};
        symbol->GetSourceInfo(&info);
        size_t ordinal = 0;
        while (ordinal < sources.size() && !SameSource(sources[ordinal].info, info))
            ++ordinal;
        SymbolRep* rep = symbol.Set();
        if (ordinal == sources.size()) {
            rep->SetSourceUseMode(1);
            sources.push_back({info, i});
        } else {
            (*mRpn)[sources[ordinal].index].Set()->SetSourceUseMode(2);
            rep->SetSourceUseMode(3);
        }
        rep->SetEnumIndex(static_cast<int32_t>(ordinal));
    }
}

void Parser::Expression(bool read)
{
    NestingGuard guard(*this);
    Term(read);
    while (mCurrent.GetType() == kSymPlus || mCurrent.GetType() == kSymMinus) {
        const SymType type = mCurrent.GetType();
        const int64_t position = CurrentPosition();
        Term(true);
        Add(type, position);
    }
}

void Parser::Term(bool read)
{
    Unary(read);
    for (;;) {
        const SymType type = mCurrent.GetType();
        if (type != kSymMul && type != kSymDiv && type != kSymMulByElement && type != kSymDivByElement)
            return;
        const int64_t position = CurrentPosition();
        Unary(true);
        Add(type, position);
    }
}

// Unary minus binds looser than "^" (-2^2 is -(2^2)) and tighter than "*" (2*-3).
void Parser::Unary(bool read)
{
    NestingGuard guard(*this);
    if (read)
        GetSymbol();
    if (mCurrent.GetType() == kSymMinus) {
        const int64_t position = CurrentPosition();
        Expo(true);
        Add(kSymUnaryMinus, position);
    } else if (mCurrent.GetType() == kSymPlus) {
        Expo(true);
    } else {
        Expo(false);
    }
}

// The right operand of "^" is a Unary, so powers group to the right and may be signed.
void Parser::Expo(bool read)
{
    Primary(read);
    while (mCurrent.GetType() == kSymPow || mCurrent.GetType() == kSymPowByElement) {
        const SymType type = mCurrent.GetType();
        const int64_t position = CurrentPosition();
        Unary(true);
        Add(type, position);
    }
}

void Parser::Primary(bool read)
{
    if (read)
        GetSymbol();
    switch (mCurrent.GetType()) {
    case kSymNumber:
    case kSymChannel:
    case kSymSource:
        Push(mCurrent, -1);
        GetSymbol();
        return;
    case kSymFunction:
    case kSymMod:
    case kSymThreshold:
    case kSymAtan2:
    case kSymChanName:
        Call();
        return;
    case kSymLeftParen:
        Expression(true);
        if (mCurrent.GetType() != kSymRightParen)
            ThrowAt(CalcText(CalcEnumsStr::IDS_CLOSING_BRACKET_EXPECTED), CurrentPosition());
        GetSymbol();
        return;
    case kSymVariable:
        Variable();
        return;
    default:
        ThrowAt(CalcText(CalcEnumsStr::IDS_NUM_CH_FUNC_BRACKET_EXPECTED), CurrentPosition());
    }
}

// Strings are accepted only as function arguments.
void Parser::ExpressionOrString(bool read)
{
    if (read)
        GetSymbol();
    if (mCurrent.GetType() == kSymString) {
        Push(mCurrent, -1);
        GetSymbol();
    } else {
        Expression(false);
    }
}

// The current symbol is the function. Without "(" it is pushed with no arguments; what counts
// as a valid call is the function's own check when it is pushed.
void Parser::Call()
{
    Symbol function = mCurrent;
    GetSymbol();
    if (mCurrent.GetType() != kSymLeftParen) {
        Push(function, 0);
        return;
    }
    const int64_t start = CurrentPosition() + 1;
    function.Set()->SetTextPosition(start);
    auto textUpTo = [this, start](int64_t stop) {
        return KVD::String(mText.data() + start, static_cast<unsigned>(stop - start));
    };
    GetSymbol();
    int count = 0;
    if (mCurrent.GetType() != kSymRightParen) {
        for (;;) {
            const int64_t references = mVariableReferences;
            const unsigned length = Count(*mRpn);
            if (count > 0 && mCurrent.GetType() != kSymComma)
                ThrowAt(FormatCalcText(CalcEnumsStr::IDS_SEP_OR_BRACKET_EXPECTED, ListSeparator()), CurrentPosition());
            ExpressionOrString(count > 0);
            const SymType ended = mCurrent.GetType();
            if (count == 0 && (ended == kSymComma || ended == kSymRightParen) && CurrentPosition() > start)
                function.Set()->SetFirstArgText(textUpTo(CurrentPosition()));
            RecordArgumentVariables(references, length);
            ++count;
            if (ended == kSymRightParen)
                break;
        }
    }
    if (CurrentPosition() > start)
        function.Set()->SetArgListText(textUpTo(CurrentPosition()));
    GetSymbol();
    Push(function, count);
}

// The argument's last symbol computes from the formula variables the argument uses: its
// enumerator must see their values.
void Parser::RecordArgumentVariables(int64_t referencesBefore, unsigned lengthBefore)
{
    const unsigned length = Count(*mRpn);
    if (mVariableReferences == referencesBefore || length <= lengthBefore)
        return;
    const SymbolRep* last = (*mRpn)[length - 1].Get();
    std::vector<Symbol> variables;
    for (unsigned i = lengthBefore; i + 1 < length; ++i)
        if ((*mRpn)[i].GetType() == kSymVariable && (*mRpn)[i].Get() != last)
            variables.push_back((*mRpn)[i]);
    if (variables.empty())
        return;
    SymbolRep* writable = WritableLast(*mRpn, mStack);
    for (const Symbol& variable : variables)
        writable->AddSrcVariable(variable);
}

// The current symbol is a name that the lookup found as a variable or did not find at all.
void Parser::Variable()
{
    const Symbol name = mCurrent;
    const bool known = name->IsVariableRep();
    GetSymbol();
    if (known) {
        // A variable's push appends its one shared representation: never a private copy.
        name.GetShared()->CheckOptimisePush(*mRpn, mStack, -1);
        ++mVariableReferences;
        return;
    }
    if (mCurrent.GetType() != kSymAssign) {
        KVD::String message(L"'");
        message += QuoteWord(name.GetName());
        message += L"'";
        message += CalcText(CalcEnumsStr::IDS_USEOFUNDEFINEDVARIABLE);
        // The name is what is wrong, not what follows it.
        ThrowAt(message, name->GetTextPosition(), kArithUndefinedVariable);
    }
    Assignment(name);
}

// name = expression; compiles the expression into the variable's own list. Nothing is pushed,
// and the ";" stays the current symbol.
void Parser::Assignment(const Symbol& name)
{
    if (Count(*mRpn) != 0)
        ThrowAt(Join(QuoteWord(name.GetName()), L": ", CalcText(CalcEnumsStr::IDS_INVALIDASSIGNMENT)), CurrentPosition());
    auto* rep = new VariableRep(name.GetName());
    Symbol variable(rep);
    RPNArray* outer = mRpn;
    const unsigned stackDepth = Count(mStack);
    mRpn = &rep->Definition();
    Expression(true);
    KVD::String message;
    if (mCurrent.GetType() != kSymPrint)
        message = CalcText(CalcEnumsStr::IDS_INVALIDASSIGNMENT);
    for (unsigned i = 0; i < Count(*mRpn); ++i)
        if ((*mRpn)[i].GetType() == kSymChannel)
            message = CalcText(CalcEnumsStr::IDS_VARIABLESCANNOTDEPENDONCHANNELS);
    if (!message.empty())
        ThrowAt(Join(QuoteWord(name.GetName()), L": ", message), CurrentPosition());
    const RPNArray& definition = *mRpn;
    mRpn = outer;
    Pop(mStack, Count(mStack) - stackDepth);
    if (Count(definition) == 1 && definition[0].GetType() == kSymNumber)
        rep->SetValue(definition[0].GetValue());
    InsertVariable(variable);
}

void Parser::Add(SymType type, int64_t position)
{
    Symbol op(Symbol::CreateRepFromType(type));
    op.Set()->SetTextPosition(position);
    Push(op, -1);
}

void Parser::Push(Symbol& symbol, int argCount)
{
    if (Count(*mRpn) >= kMaxSymbols)
        ThrowAt(FormatCalcText(CalcEnumsStr::IDS_FORMULA_TOO_MANY_TERMS, kMaxSymbols), CurrentPosition());
    symbol.Set()->CheckOptimisePush(*mRpn, mStack, argCount);
}

void Parser::InsertVariable(Symbol& variable)
{
    mLocalVariables.emplace(variable.GetName(), variable);
}

void Parser::ThrowAt(const KVD::String& message, int64_t position, HRESULT code) const
{
    throw XArith(message, position, code);
}

}  // namespace CalcParser
