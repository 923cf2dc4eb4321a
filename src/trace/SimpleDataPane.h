// A data pane whose channel panes map one-to-one onto the record's channels: pane i shows
// channel i; anything beyond the panes is no channel.
#pragma once

#include "trace/DataPane.h"

namespace OrrelDraw {

constexpr int32_t kNoPaneChannel = int32_t(0x80000000);
// The data flags a simple pane asks its channels' data with.
constexpr uint32_t kSimplePaneChannelFlags = 0xC0000000;

class SimpleDataPane : public DataPane {
public:
    SimpleDataPane(IRecordData* record, int scaleRequest, uint32_t paneFlags, DragScaleStyle style,
                   uint32_t controlFlags, uint32_t miscFlags, Clock clock = {});

    TChannelId PaneToChannel(int pane) const override;
    int32_t ChannelToPane(TChannelId channel) const override;
    TChannelId UserChanToVirtualChan(const TChannelId& channel) const override { return Mapped(channel); }
    TChannelId VirtChanToUserChan(const TChannelId& channel) const override { return Mapped(channel); }

private:
    bool IsPaneChannel(int32_t channel) const { return channel >= 0 && channel < ChannelPaneCount(); }
    TChannelId Mapped(const TChannelId& channel) const;
};

}  // namespace OrrelDraw
