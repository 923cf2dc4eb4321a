// How the host shows one channel, as the plug-in reads it: the trace colour, 24-bit RGB with
// red in the low byte.
#pragma once

#include "IOrrelDocument.h"
#include "foundation/UnknownImp.h"

namespace Host {

class ChannelDisplaySettings final : public KVD::detail::CountedUnknown<IChannelDisplaySettings2> {
public:
    // A new object with one reference.
    static ChannelDisplaySettings* Create(uint32_t traceColour);
    HRESULT GetTraceColour(uint32_t* rgb) const override;

private:
    explicit ChannelDisplaySettings(uint32_t traceColour) : mTraceColour(traceColour & 0xFFFFFF) {}
    uint32_t mTraceColour;
};

}  // namespace Host
