// Sends framework messages: builds them through the host's standard message factory and has the
// host's message processor deliver them to a destination handler. While a message is delivered
// it carries this sender as its sender mark, so that a handler can skip its own broadcasts.
#pragma once

#include "IMessageHandler.h"
#include "foundation/COMPtr.h"
#include "framework/MsgData.h"
#include "framework/SRKey.h"

class CAFMessageSender {
public:
    CAFMessageSender() = default;
    CAFMessageSender(IMessageHandler* destination, bool hold);
    virtual ~CAFMessageSender() = default;
    CAFMessageSender(const CAFMessageSender&) = delete;
    CAFMessageSender& operator=(const CAFMessageSender&) = delete;

    // Delivers through the host's message processor; refused (KVD_E_BADSTATE) while disabled or
    // without a processor, and (KVD_E_POINTER) without a destination or a message.
    virtual HRESULT SendMsgHook(IMessageHandler* destination, const IMessage* message);
    // Drops the destination.
    virtual void DoCleanup();

    // hold: keep a reference on the destination.
    void SetDestination(IMessageHandler* destination, bool hold);
    IMessageHandler* GetDestination() const { return mDestination; }
    void Enable(bool enabled) { mEnabled = enabled; }
    bool IsEnabled() const { return mEnabled; }
    // What messages sent by this sender carry as their sender mark.
    const void* SenderMark() const { return this; }

    HRESULT SendMsg(IMessageHandler* destination, const IMessage* message);
    // A new message with the data's flags or-ed with flags.
    HRESULT SendMsg(IMessageHandler* destination, const MsgData& data, MsgFlags flags);
    // The host also stores the message under the key.
    HRESULT SendMsg(IMessageHandler* destination, const MsgData& data, const SRKey& key, MsgFlags flags);
    // Addressed to one view.
    HRESULT SendMsg(IMessageHandler* destination, const MsgData& data, ViewId view, MsgFlags flags);

private:
    HRESULT Build(IMessageHandler* destination, const MsgData& data, MsgFlags flags, ViewId view,
                  ISettingsRegistrarKey* key);

    IMessageHandler* mDestination = nullptr;
    KVD::COMPtr<IMessageHandler> mHeldDestination;  // set only when asked to hold
    bool mEnabled = true;
};
