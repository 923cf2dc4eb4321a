// A channel or a source of the calculation. It makes no enumerator: the composite
// enumerator wires channel sources itself.
#pragma once

#include "calc/SymbolRep.h"

namespace CalcParser {

class ChannelRep : public SymbolRep {
public:
    // type 5 (channel) or 6 (source); no channel yet, the given data-type word.
    ChannelRep(SymType type, BlockDataType dataType);

    SymbolRep* Clone() const override { return new ChannelRep(*this); }
    // Narrows the output and the source kind together.
    void SetSourceEnumDataTypes(KVDEnumDataType type) override;
    void SetChannel(int32_t channel) override { mChannel.channel = channel; }
    int32_t GetChannel() const override { return mChannel.channel; }
    TChannelId GetChannelId() const override { return mChannel; }
    HRESULT GetSourceInfo(CalcEnums::CCalcEnumSourceInfo* info) const override;

    KVDEnumDataType GetSourceDataType() const { return mSourceType; }

private:
    TChannelId mChannel;
    KVDEnumDataType mSourceType = kEnumDataSamples;
};

}  // namespace CalcParser
