#include "trace/SimpleDataPane.h"

namespace OrrelDraw {

SimpleDataPane::SimpleDataPane(IRecordData* record, int scaleRequest, uint32_t paneFlags, DragScaleStyle style,
                               uint32_t controlFlags, uint32_t miscFlags, Clock clock)
    : DataPane(record, scaleRequest, paneFlags, style, controlFlags, 0, miscFlags, std::move(clock))
{
}

TChannelId SimpleDataPane::PaneToChannel(int pane) const
{
    return TChannelId{IsPaneChannel(pane) ? pane : kNoChannel, kSimplePaneChannelFlags};
}

int32_t SimpleDataPane::ChannelToPane(TChannelId channel) const
{
    return IsPaneChannel(channel.channel) ? channel.channel : kNoChannel;
}

TChannelId SimpleDataPane::Mapped(const TChannelId& channel) const
{
    if (IsPaneChannel(channel.channel))
        return channel;
    return TChannelId{int32_t(kNoChannelId & 0xFFFFFFFFu), uint32_t(kNoChannelId >> 32)};
}

}  // namespace OrrelDraw
