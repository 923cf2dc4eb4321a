#include "host/document/ChannelDisplaySettings.h"

namespace Host {

ChannelDisplaySettings* ChannelDisplaySettings::Create(uint32_t traceColour, std::map<int, uint32_t> channelColours)
{
    auto* settings = new ChannelDisplaySettings(traceColour, std::move(channelColours));
    settings->AddRef();
    return settings;
}

HRESULT ChannelDisplaySettings::GetTraceColour(uint32_t* rgb) const
{
    if (rgb == nullptr)
        return KVD_E_POINTER;
    *rgb = mTraceColour;
    return KVD_S_OK;
}

HRESULT ChannelDisplaySettings::GetChannelTraceColour(int32_t channel, uint32_t* rgb) const
{
    if (rgb == nullptr)
        return KVD_E_POINTER;
    const auto colour = mChannelColours.find(channel);
    *rgb = colour != mChannelColours.end() ? colour->second & 0xFFFFFF : 0xFFFFFF;
    return KVD_S_OK;
}

HRESULT ChannelDisplaySettings::GetPolyLineType(int32_t, uint32_t* type) const
{
    if (type == nullptr)
        return KVD_E_POINTER;
    *type = 0;
    return KVD_S_OK;
}

HRESULT ChannelDisplaySettings::GetPenWidth(int32_t, int32_t* width) const
{
    if (width == nullptr)
        return KVD_E_POINTER;
    *width = 1;
    return KVD_S_OK;
}

HRESULT ChannelDisplaySettings::GetDisplayValue(int32_t, uint32_t* value) const
{
    if (value == nullptr)
        return KVD_E_POINTER;
    *value = 0;
    return KVD_S_OK;
}

}  // namespace Host
