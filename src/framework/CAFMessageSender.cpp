#include "framework/CAFMessageSender.h"

#include "FrameworkIds.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"

CAFMessageSender::CAFMessageSender(IMessageHandler* destination, bool hold)
{
    SetDestination(destination, hold);
}

void CAFMessageSender::SetDestination(IMessageHandler* destination, bool hold)
{
    mHeldDestination = hold ? destination : nullptr;
    mDestination = destination;
}

void CAFMessageSender::DoCleanup()
{
    mDestination = nullptr;
    mHeldDestination.Clear();
}

HRESULT CAFMessageSender::SendMsgHook(IMessageHandler* destination, const IMessage* message)
{
    if (!mEnabled)
        return KVD_E_BADSTATE;
    if (destination == nullptr || message == nullptr)
        return KVD_E_POINTER;
    const KVD::COMPtr<const IMessage> alive(message);
    IMessageProcessor* processor = COMClassObjectAccessor<IMessageProcessor, &CLSID_CAFFrameWork>::Get();
    if (processor == nullptr)
        return KVD_E_BADSTATE;
    message->SetSender(SenderMark());
    const HRESULT hr = processor->DeliverMessage(message, destination);
    message->SetSender(nullptr);
    return hr;
}

HRESULT CAFMessageSender::SendMsg(IMessageHandler* destination, const IMessage* message)
{
    const KVD::COMPtr<const IMessage> alive(message);
    return SendMsgHook(destination, message);
}

HRESULT CAFMessageSender::Build(IMessageHandler* destination, const MsgData& data, MsgFlags flags, ViewId view,
                                ISettingsRegistrarKey* key)
{
    IStandardMsgFactory* factory =
        ObjectFactoryClassObjectAccessor<IStandardMsgFactory, StaticTypeIdClass<kTypeId_StandardMsgFactory>>::Get();
    if (factory == nullptr)
        return KVD_E_BADSTATE;
    KVD::COMPtr<IMessage> message;
    const HRESULT hr =
        factory->CreateMessage(data.GetMsgId(), data.GetFlags() | flags, view, key, data.GetParamBlock(), message.Set());
    if (message == nullptr)
        return hr != KVD_S_OK ? hr : KVD_E_BADSTATE;
    return SendMsg(destination, message);
}

HRESULT CAFMessageSender::SendMsg(IMessageHandler* destination, const MsgData& data, MsgFlags flags)
{
    return Build(destination, data, flags, 0, nullptr);
}

HRESULT CAFMessageSender::SendMsg(IMessageHandler* destination, const MsgData& data, const SRKey& key, MsgFlags flags)
{
    return Build(destination, data, flags, 0, key.GetKey());
}

HRESULT CAFMessageSender::SendMsg(IMessageHandler* destination, const MsgData& data, ViewId view, MsgFlags flags)
{
    return Build(destination, data, flags, view, nullptr);
}
