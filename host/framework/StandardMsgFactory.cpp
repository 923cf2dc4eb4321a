#include "host/framework/StandardMsgFactory.h"

#include "FrameworkIds.h"
#include "foundation/COMPtr.h"
#include "host/framework/Message.h"

namespace Host {

StandardMsgFactory::StandardMsgFactory() : ServiceClassObject(kTypeId_StandardMsgFactory, L"Standard message factory") {}

HRESULT StandardMsgFactory::GetParamBlockSize(const void* block, uint32_t* bytes)
{
    if (bytes == nullptr || block == nullptr)
        return KVD_E_POINTER;
    *bytes = Message::BlockSize(block);
    return *bytes == 0 ? KVD_E_BADSTATE : KVD_S_OK;
}

HRESULT StandardMsgFactory::CloneMessage(const IMessage* message, IMessage** out)
{
    return Message::Clone(message, out);
}

HRESULT StandardMsgFactory::CreateMessage(TCAFId id, uint32_t flags, uint64_t viewId, ISettingsRegistrarKey* key,
                                          const void* block, IMessage** out)
{
    return Message::Create(id, flags, viewId, key, block, out);
}

// The registrar keeps a copy: the message delivered may still carry its sender mark.
void MessageProcessor::Store(const IMessage* message, IMessageHandler* destination)
{
    KVD::COMPtr<ISettingsRegistrarKey> key;
    message->GetKey(key.Set());
    if (key == nullptr)
        return;
    KVD::COMPtr<ISettingsRegistrar> registrar(KVD::com_cast(destination));
    if (registrar == nullptr)
        registrar = mFallback;
    KVD::COMPtr<IMessage> copy;
    Message::Clone(message, copy.Set());
    if (registrar != nullptr && copy != nullptr)
        registrar->SetObject(key, copy);
}

HRESULT MessageProcessor::DeliverMessage(const IMessage* message, IMessageHandler* destination)
{
    if (message == nullptr || destination == nullptr)
        return KVD_E_POINTER;
    Store(message, destination);
    return destination->DispatchKVDMessage(message);
}

}  // namespace Host
