// Virtual channels of a document's data: channels that belong to no record of the recording
// and that a dialog turns into calculated channels of its own (a preview's proposed formula).
// They carry the channel kind 4 in their request word; their names are their formula tokens
// ("VCh1", "VCh2", ...), so one virtual channel's formula can read another.
#pragma once

#include "IUnknown.h"

struct IAutoKVDString;

// 8F893B5C-8372-44AF-BA1A-7481829B23F9
inline constexpr _IID IID_ISetVirtualChans = {0x8F893B5C, 0x8372, 0x44AF, {0xBA, 0x1A, 0x74, 0x81, 0x82, 0x9B, 0x23, 0xF9}};

// The channel kind of a virtual channel, in the low byte of a TChannelId's request word.
constexpr uint32_t kVirtualChannelKind = 4;

struct ISetVirtualChans : IUnknown {
    // A new virtual channel without a calculation: its name (with a reference) and its id.
    // flags, kind and reserved are 0.
    virtual HRESULT AddVirtualChannel(uint32_t flags, uint16_t kind, uint32_t reserved, IAutoKVDString** name,
                                      TChannelId* channel) = 0;  // slot 3
};
KVD_INTERFACE_ID(ISetVirtualChans, IID_ISetVirtualChans);
