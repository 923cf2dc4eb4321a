// The host's knowledge of a document's channels, as the formula compiler asks for it: a
// channel found by its title, and the data kind of a channel.
#pragma once

#include "CalcEnumTypes.h"
#include "IUnknown.h"

struct IAutoKVDString;

// D51B003A-0672-4DA2-8C89-7C67C216B778
inline constexpr _IID IID_IKVDChannelInfo = {0xD51B003A, 0x0672, 0x4DA2, {0x8C, 0x89, 0x7C, 0x67, 0xC2, 0x16, 0xB7, 0x78}};

struct IKVDChannelInfo : IUnknown {
    // Finds the channel titled name. id comes in preset by the caller; a channel word other
    // than 0x80000000 on return means found, with its flags word and data kind.
    virtual HRESULT FindChannel(int32_t selector, IAutoKVDString* name, TChannelId* id, KVDEnumDataType* kind,
                                int32_t reserved, TChannelId own) = 0;                   // slot 3
    // The data kind of a channel (kind comes in preset to 0).
    virtual HRESULT GetChannelDataType(int32_t selector, TChannelId channel, KVDEnumDataType* kind,
                                       int32_t reserved, TChannelId own) = 0;            // slot 4
};

KVD_INTERFACE_ID(IKVDChannelInfo, IID_IKVDChannelInfo);
