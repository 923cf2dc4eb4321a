// How a data pane's channel panes map onto the record's channels and back, and how the channel
// numbers a user sees map onto those the pane draws.
#pragma once

#include "KVDTypes.h"

namespace OrrelDraw {

class PaneChannelPolicy {
public:
    // The no-channel id for a pane that shows none.
    virtual TChannelId PaneToChannel(int pane) const = 0;
    // 0x80000000 for a channel no pane shows.
    virtual int32_t ChannelToPane(TChannelId channel) const = 0;
    virtual TChannelId UserChanToVirtualChan(const TChannelId& channel) const = 0;
    virtual TChannelId VirtChanToUserChan(const TChannelId& channel) const = 0;

protected:
    ~PaneChannelPolicy() = default;
};

}  // namespace OrrelDraw
