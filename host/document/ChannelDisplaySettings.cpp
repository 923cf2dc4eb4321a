#include "host/document/ChannelDisplaySettings.h"

namespace Host {

ChannelDisplaySettings* ChannelDisplaySettings::Create(uint32_t traceColour)
{
    auto* settings = new ChannelDisplaySettings(traceColour);
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

}  // namespace Host
