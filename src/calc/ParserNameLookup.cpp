// The name lookup of the formula compiler. The order of the tries decides every clash: a table
// name wins over a channel title, and a channel title over a variable.
#include <string_view>

#include "calc/ChanNameRep.h"
#include "calc/FormulaText.h"
#include "calc/Parser.h"
#include "calc/VariableRep.h"
#include "foundation/COMPtr.h"

namespace CalcParser {
namespace {

constexpr BlockDataType kTitledChannelFlag = 0x1000;

bool IsLetterOrDollar(wchar_t c)
{
    return IsFormulaLetter(c) || c == L'$';
}

}  // namespace

Symbol Parser::NameToSymbol(const KVD::String& name)
{
    // Names are case-insensitive: the user's text already is lower case, a macro template's may not be.
    const KVD::String key = LowerFormulaText(name);
    if (const auto* entry = sNameToSymbol.FindAssoc(key)) {
        switch (entry->value.GetType()) {
        case kSymSource:
            return Symbol();  // a bare source prefix is no name
        case kSymChannel:
            return Symbol(new ChanNameRep(name, mChannelInfo, mChannel, mNumberLimit));
        default: {
            Symbol copy = entry->value;
            copy.SetName(name);
            return copy;
        }
        }
    }
    Symbol found;
    if (FindNumberedName(key, name, found) || FindChannelByTitle(key, found))
        return found;
    const auto local = mLocalVariables.find(key);
    if (local != mLocalVariables.end())
        return local->second;
    if (FindHostVariable(key, found))
        return found;
    return Symbol(kSymVariable, key);
}

// A table prefix followed by a number from 1 to the limit: ch3 is channel 2, $src2 is source
// 2 (channel -2), each named as written. The digits after any other table name are ignored
// (pi2 is pi).
bool Parser::FindNumberedName(const KVD::String& key, const KVD::String& name, Symbol& result) const
{
    const std::wstring_view text(key.c_str(), key.length());
    size_t split = 0;
    while (split < text.size() && IsLetterOrDollar(text[split]))
        ++split;
    if (split == text.size())
        return false;
    long number = 0;
    for (size_t i = split; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
        number = number * 10 + (text[i] - L'0');
        if (number > mNumberLimit)
            return false;
    }
    if (number < 1)
        return false;
    const auto* entry = sNameToSymbol.FindAssoc(KVD::String(key.c_str(), static_cast<unsigned>(split)));
    if (entry == nullptr)
        return false;
    result = entry->value;
    if (result.GetType() == kSymSource) {
        result.Set()->SetChannel(static_cast<int32_t>(-number));
        result.SetName(name);
    } else if (result.GetType() == kSymChannel) {
        SymbolRep* channel = result.Set();
        channel->SetChannel(static_cast<int32_t>(number - 1));
        KVDEnumDataType kind = 0;
        if (mChannelInfo != nullptr)
            mChannelInfo->GetChannelDataType(0, channel->GetChannelId(), &kind, 0, mChannel);
        channel->SetSourceEnumDataTypes(kind);
        channel->SetName(name);
    }
    return true;
}

bool Parser::FindChannelByTitle(const KVD::String& key, Symbol& result) const
{
    if (mChannelInfo == nullptr)
        return false;
    TChannelId id = {kNoChannelNumber, 0xC0000000};
    KVDEnumDataType kind = 0;
    mChannelInfo->FindChannel(kNoChannelNumber, key.AsIAutoKVDString(), &id, &kind, 0, mChannel);
    if (id.channel == kNoChannelNumber)
        return false;
    result = Symbol(static_cast<BlockDataType>(kTitledChannelFlag | id.blockDataType));
    SymbolRep* channel = result.Set();
    channel->SetChannel(id.channel);
    channel->SetSourceEnumDataTypes(kind);
    return true;
}

bool Parser::FindHostVariable(const KVD::String& key, Symbol& result) const
{
    if (mVariables == nullptr)
        return false;
    KVD::COMPtr<IKVDCalcVariable> variable;
    mVariables->FindVariable(0, key.AsIAutoKVDString(), variable.Set());
    if (variable == nullptr)
        return false;
    // The value at parse time is what a numeric parameter given as this variable takes.
    double value = 0;
    auto* rep = new VariableRep(variable);
    if (variable->GetValue(0, &value) == KVD_S_OK)
        rep->SetValue(value);
    result = Symbol(rep);
    return true;
}

}  // namespace CalcParser
