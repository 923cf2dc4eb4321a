// ch(...) and channel(...): a channel chosen by its number or its title, with an optional text
// of flag keywords that selects the data asked of it. When pushed it resolves the channel and
// puts a channel symbol in its own place, so it never reaches a finished RPN.
#pragma once

#include "IKVDChannelInfo.h"
#include "calc/SymbolRep.h"
#include "foundation/StringResources.h"

namespace CalcParser {

class ChanNameRep : public SymbolRep {
public:
    // channelCount: the highest channel number the function accepts.
    ChanNameRep(const KVD::String& name, IKVDChannelInfo* channelInfo, TChannelId own, int32_t channelCount);

    SymbolRep* Clone() const override { return new ChanNameRep(*this); }
    void CheckOptimisePush(RPNArray& rpn, RepStack& stack, int argCount) override;

    // The data word of a flag text: keywords separated by white space, in any case.
    BlockDataType FlagsToDataType(const wchar_t* flags) const;

private:
    // The channel named by the first argument, with its display name.
    TChannelId ResolveChannel(const SymbolRep* argument, KVD::String& display) const;
    template <class T>
    [[noreturn]] void ThrowFormattedMsg(const KVDXMLStringKey& key, const T& value) const;

    IKVDChannelInfo* mChannelInfo;  // the parser's; no reference held
    TChannelId mOwn;
    int32_t mChannelCount;
};

}  // namespace CalcParser
