#include "trace/SimpleDataPane.h"

namespace OrrelDraw {

SimpleDataPane::SimpleDataPane(IRecordData* record, int scaleRequest, uint32_t paneFlags, DragScaleStyle style,
                               uint32_t controlFlags, uint32_t miscFlags, Clock clock)
    : DataPane(record, scaleRequest, paneFlags, style, controlFlags, 0, miscFlags, std::move(clock))
{
}

TChannelId SimpleDataPane::PaneToChannel(int pane) const
{
    return TChannelId{IsPaneChannel(pane) ? pane : kNoPaneChannel, kSimplePaneChannelFlags};
}

int32_t SimpleDataPane::ChannelToPane(TChannelId channel) const
{
    return IsPaneChannel(channel.channel) ? channel.channel : kNoPaneChannel;
}

TChannelId SimpleDataPane::Mapped(const TChannelId& channel) const
{
    return IsPaneChannel(channel.channel) ? channel : kNoChannel;
}

}  // namespace OrrelDraw
