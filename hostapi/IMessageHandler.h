// Message handlers form trees; the host's message processor delivers a message to a handler,
// which offers it to its own tables and then to its children in order.
#pragma once

#include "IMessage.h"

// CEB87555-A628-48CF-996A-09EA8F2C0485
inline constexpr _IID IID_IMessageHandler = {0xCEB87555, 0xA628, 0x48CF, {0x99, 0x6A, 0x09, 0xEA, 0x8F, 0x2C, 0x04, 0x85}};
// A45B8C73-312A-480B-836B-8BB077247145
inline constexpr _IID IID_IMessageProcessor = {0xA45B8C73, 0x312A, 0x480B, {0x83, 0x6B, 0x8B, 0xB0, 0x77, 0x24, 0x71, 0x45}};

struct IMessageHandler : IUnknown {
    // 0: not stopped; KVD_S_FALSE: a handler consumed the message and it stops.
    virtual HRESULT DispatchKVDMessage(const IMessage* message) = 0;                      // slot 3
    virtual HRESULT AddChildHandler(IMessageHandler* child) = 0;                          // slot 4
    virtual HRESULT DetachChildHandler(IMessageHandler* child) = 0;                       // slot 5
    virtual HRESULT SetParent(IMessageHandler* parent) = 0;                               // slot 6
    // The handler this one's messages go to (the root of its tree), with a reference.
    virtual HRESULT GetDefaultHandler(IMessageHandler** out) = 0;                         // slot 7
};

// Answered by the framework object.
struct IMessageProcessor : IUnknown {
    // Stores a keyed message in the settings registrar of the destination (the one it answers
    // as ISettingsRegistrar, else the application's), then delivers it to the destination.
    virtual HRESULT DeliverMessage(const IMessage* message, IMessageHandler* destination) = 0;  // slot 3
};

KVD_INTERFACE_ID(IMessageHandler, IID_IMessageHandler);
KVD_INTERFACE_ID(IMessageProcessor, IID_IMessageProcessor);
