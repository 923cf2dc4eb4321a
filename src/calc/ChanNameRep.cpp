#include "calc/ChanNameRep.h"

#include <cmath>
#include <string>
#include <string_view>

#include "calc/CalcMessages.h"
#include "calc/FormulaText.h"
#include "calc/RPNOps.h"

namespace CalcParser {
namespace {

constexpr BlockDataType kDefaultWord = 0x40001000;
constexpr BlockDataType kUnitsBit = 0x1000;
constexpr BlockDataType kPrefixBit = 0x2000;
constexpr BlockDataType kBaseUnitsBit = 0x4000;
constexpr BlockDataType kChanBit = 0x20000;
constexpr BlockDataType kConvertedBit = 0x40000000;
constexpr BlockDataType kTickRateBit = 0x80000000;
constexpr BlockDataType kRawBit = 0x1;
constexpr BlockDataType kCalcBit = 0x2;
constexpr int32_t kSelectorAll = static_cast<int32_t>(0xFF000000);

std::wstring Lower(std::wstring_view text)
{
    std::wstring lower(text);
    for (wchar_t& c : lower)
        c = LowerFormulaChar(c);
    return lower;
}

BlockDataType ApplyKeyword(BlockDataType word, const std::wstring& keyword)
{
    if (keyword == L"adc" || keyword == L"tovrin")
        return word & ~kUnitsBit;
    if (keyword == L"base" || keyword == L"nounits")
        return word | kBaseUnitsBit;
    if (keyword == L"units")
        return word | kUnitsBit;
    if (keyword == L"prefix")
        return word | kPrefixBit;
    if (keyword == L"tickrate")
        return word | kTickRateBit;
    if (keyword == L"raw" || keyword == L"recorded")
        return (word & ~(kConvertedBit | kRawBit)) | kRawBit;
    if (keyword == L"calc")
        return (word & ~(kConvertedBit | kCalcBit)) | kCalcBit;
    if (keyword == L"digital")
        return (word & ~(kConvertedBit | kRawBit | kCalcBit)) | kRawBit | kCalcBit;
    if (keyword == L"chan")
        return (word & ~kConvertedBit) | kChanBit;
    return word;
}

}  // namespace

ChanNameRep::ChanNameRep(const KVD::String& name, IKVDChannelInfo* channelInfo, TChannelId own,
                         int32_t channelCount)
    : SymbolRep(kSymChanName, name), mChannelInfo(channelInfo), mOwn(own), mChannelCount(channelCount)
{
}

// Separators are not merged: the empty pieces between them match no keyword.
BlockDataType ChanNameRep::FlagsToDataType(const wchar_t* flags) const
{
    BlockDataType word = kDefaultWord;
    const std::wstring_view text(flags != nullptr ? flags : L"");
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || IsFormulaSpace(text[i])) {
            word = ApplyKeyword(word, Lower(text.substr(start, i - start)));
            start = i + 1;
        }
    }
    return word;
}

template <class T>
void ChanNameRep::ThrowFormattedMsg(const KVDXMLStringKey& key, const T& value) const
{
    Throw(FormatCalcText(key, value));
}

TChannelId ChanNameRep::ResolveChannel(const SymbolRep* argument, KVD::String& display) const
{
    TChannelId id = {kNoChannelNumber, kDefaultWord};
    if (argument->GetType() == kSymNumber) {
        const double x = argument->GetValue();
        const double k = std::floor(x);
        if (!(x == k))
            ThrowFormattedMsg(CalcEnumsStr::IDS_EXPECTSCHANNELNAME, GetName());
        if (k < 1 || k > mChannelCount)
            ThrowFormattedMsg(CalcEnumsStr::IDS_NUMBEREDCHANNELNOTFOUND, k);
        id.channel = static_cast<int32_t>(k) - 1;
        display = KVD::String(L"ch" + std::to_wstring(static_cast<int32_t>(k)));
    } else if (argument->GetType() == kSymString) {
        display = argument->GetName();
        KVDEnumDataType kind = 0;
        if (mChannelInfo != nullptr)
            mChannelInfo->FindChannel(kSelectorAll, display.AsIAutoKVDString(), &id, &kind, 0, mOwn);
        if (id.channel == kNoChannelNumber)
            ThrowFormattedMsg(CalcEnumsStr::IDS_NAMEDCHANNELNOTFOUND, QuoteWord(display));
        id.blockDataType = (id.blockDataType & 0x7FFFEFFF) | kUnitsBit;
    }
    return id;
}

void ChanNameRep::CheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount)
{
    const unsigned arguments = argCount > 0 ? std::min(unsigned(argCount), Count(stack)) : 0;
    TChannelId id = {kNoChannelNumber, kDefaultWord};
    KVD::String display;
    if (arguments >= 1)
        id = ResolveChannel(StackEntry(stack, arguments), display);
    KVD::String flags;
    if (arguments >= 2) {
        const SymbolRep* second = StackEntry(stack, arguments - 1);
        if (second->GetType() != kSymString)
            ThrowFormattedMsg(CalcEnumsStr::IDS_INVALIDCHANNAMEFLAGS, GetName());
        flags = second->GetName();
    }
    const BlockDataType word = FlagsToDataType(flags.c_str());
    if (id.channel == kNoChannelNumber)
        ThrowFormattedMsg(CalcEnumsStr::IDS_EXPECTSCHANNELNAME, GetName());

    Symbol channel(static_cast<BlockDataType>(id.blockDataType | word));
    SymbolRep* rep = channel.Set();
    rep->SetChannel(id.channel);
    KVDEnumDataType kind = 0;
    if (mChannelInfo != nullptr)
        mChannelInfo->GetChannelDataType(kSelectorAll, rep->GetChannelId(), &kind, 0, mOwn);
    rep->SetSourceEnumDataTypes(kind);
    rep->SetName(display);
    rep->SetTextPosition(GetTextPosition());
    // The arguments' symbols, however many each has, leave the RPN with them.
    if (arguments > 0) {
        const int first = FindRep(rpn, StackEntry(stack, arguments));
        if (first >= 0)
            rpn.Erase(first, Count(rpn));
    }
    Pop(stack, arguments);
    rep->SymbolRep::CheckOptimisePush(rpn, stack, -1);
}

}  // namespace CalcParser
