// The formula compiler: a recursive-descent parser over the tokens of a prepared formula text
// that pushes every operand, operator and call through its representation's optimising push,
// handles variable assignments, and marks how often each input channel is used. One parser
// compiles one formula, entirely inside its constructor.
#pragma once

#include <map>
#include <string_view>
#include <unordered_map>

#include "IKVDCalcVariables.h"
#include "IKVDChannelInfo.h"
#include "calc/FunctionExpansion.h"
#include "calc/HashTable.h"
#include "calc/Symbol.h"

namespace CalcParser {

class Parser {
public:
    using SymbolTable = HashTable<KVD::String, HashKeyFunctions<KVD::String>, Symbol, true, KVD::String>;
    using ExpansionTable = std::map<KVD::String, FunctionExpansion>;

    static constexpr int kSymbolTableBuckets = 63;
    static constexpr int kSymbolTableGrowth = 10;
    // Brackets, calls and powers nested deeper than this are refused: each level is a
    // recursion of the grammar.
    static constexpr int kMaxNesting = 200;
    // A formula of more symbols than this is refused: every operator becomes an enumerator
    // that reads its operands through calls, so a long chain of them is as deep a recursion
    // when samples are read or positioned.
    static constexpr unsigned kMaxSymbols = 2000;

    // Compiles text (already prepared: signs spaced, lower-cased, macros expanded) into rpn.
    // Raises XArith for the first error.
    Parser(RPNArray& rpn, const KVD::String& text, IKVDChannelInfo* channelInfo, TChannelId channel,
           IKVDCalcVariables* variables, int numberLimit);
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    // Every built-in name, and every function that a class object of CATID_CALCENUMS
    // publishes, under its lower-case name. Built once, completely, by the first parser.
    static SymbolTable sNameToSymbol;
    static void sInitNameToSymbolTable();

    // The macros, by name; built once by the first expansion.
    static ExpansionTable sFunctionExpansions;
    static void sInitAliasesTable();
    // The text lower-cased with every macro call expanded; false with the message set when a
    // call does not fit its macro.
    static bool sDoFunctionExpansions(const KVD::String& text, KVD::String& expanded, KVD::String& message);
    // output = macro.Expand(text); whether that changed the text.
    static bool sDoFunctionExpansion(const FunctionExpansion& macro, const KVD::String& text, KVD::String& output);

private:
    void Parse(RPNArray& rpn, int numberLimit);
    void CheckSingleValue() const;
    void MarkSourceUses();

    // The grammar levels, lowest precedence first; read says whether to read the next token
    // first. Each returns with the token after what it parsed as the current symbol.
    void Expression(bool read);
    void Term(bool read);
    void Unary(bool read);
    void Expo(bool read);
    void Primary(bool read);
    void ExpressionOrString(bool read);
    void Call();
    void RecordArgumentVariables(int64_t referencesBefore, unsigned lengthBefore);
    void Variable();
    void Assignment(const Symbol& name);

    // Pushes an operator of that kind made at the given text position.
    void Add(SymType type, int64_t position);
    void Push(Symbol& symbol, int argCount);
    void InsertVariable(Symbol& variable);

    // The tokenizer: makes the next token the current symbol.
    void GetSymbol();
    void ReadNumber(int64_t start);
    void ReadName(int64_t start);
    void ReadString();
    [[noreturn]] void ThrowUnrecognised(int64_t start, const KVD::String& word) const;

    // The name lookup.
    Symbol NameToSymbol(const KVD::String& name);
    bool FindNumberedName(const KVD::String& key, const KVD::String& name, Symbol& result) const;
    bool FindChannelByTitle(const KVD::String& key, Symbol& result) const;
    bool FindHostVariable(const KVD::String& key, Symbol& result) const;

    [[noreturn]] void ThrowAt(const KVD::String& message, int64_t position, HRESULT code = KVD_E_BADSTATE) const;
    int64_t CurrentPosition() const { return mCurrent->GetTextPosition(); }

    // Counts the levels of grammar recursion while it lives.
    class NestingGuard {
    public:
        explicit NestingGuard(Parser& parser);
        ~NestingGuard() { --mParser.mNesting; }

    private:
        Parser& mParser;
    };

    struct KeyHash {
        size_t operator()(const KVD::String& key) const;
    };

    Symbol mCurrent;
    RPNArray* mRpn = nullptr;
    RepStack mStack;
    std::wstring_view mText;
    size_t mNext = 0;  // index of the next character to read
    int mNumberLimit;
    TChannelId mChannel;
    IKVDChannelInfo* mChannelInfo;
    IKVDCalcVariables* mVariables;
    std::unordered_map<KVD::String, Symbol, KeyHash> mLocalVariables;
    int64_t mVariableReferences = 0;
    int mNesting = 0;
};

}  // namespace CalcParser
