// How the host shows one channel, as the plug-in reads it: the trace colour, 24-bit RGB with
// red in the low byte, and, by number, the trace colour of every channel of the document.
// Lines are plain poly-lines one pixel wide.
#pragma once

#include <map>

#include "IOrrelDocument.h"
#include "foundation/UnknownImp.h"

namespace Host {

class ChannelDisplaySettings final : public KVD::detail::CountedUnknown<IChannelDisplaySettings2> {
public:
    // A new object with one reference; channels without a colour of their own are white.
    static ChannelDisplaySettings* Create(uint32_t traceColour, std::map<int, uint32_t> channelColours = {});
    HRESULT GetTraceColour(uint32_t* rgb) const override;
    HRESULT GetChannelTraceColour(int32_t channel, uint32_t* rgb) const override;
    HRESULT GetPolyLineType(int32_t channel, uint32_t* type) const override;
    HRESULT GetPenWidth(int32_t channel, int32_t* width) const override;
    HRESULT GetDisplayValue(int32_t channel, uint32_t* value) const override;

private:
    ChannelDisplaySettings(uint32_t traceColour, std::map<int, uint32_t> channelColours)
        : mTraceColour(traceColour & 0xFFFFFF), mChannelColours(std::move(channelColours))
    {
    }
    uint32_t mTraceColour;
    std::map<int, uint32_t> mChannelColours;
};

}  // namespace Host
