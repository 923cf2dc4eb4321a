// The host's standard message factory (fixed type id 0x80000007) and its message processor,
// which stores a keyed message in the destination's settings registrar and delivers it.
#pragma once

#include "IMessageHandler.h"
#include "ISettingsRegistrar.h"
#include "foundation/UnknownImp.h"
#include "host/framework/ServiceClassObject.h"

namespace Host {

class StandardMsgFactory final : public ServiceClassObject<IStandardMsgFactory> {
public:
    StandardMsgFactory();
    HRESULT GetParamBlockSize(const void* block, uint32_t* bytes) override;
    HRESULT CloneMessage(const IMessage* message, IMessage** out) override;
    HRESULT CreateMessage(TCAFId id, uint32_t flags, uint64_t viewId, ISettingsRegistrarKey* key, const void* block,
                          IMessage** out) override;
};

class MessageProcessor final : public KVD::UncountedUnknown<IMessageProcessor> {
public:
    // fallback: where keyed messages are stored when the destination has no registrar.
    explicit MessageProcessor(ISettingsRegistrar* fallback) : mFallback(fallback) {}

    // KVD_E_POINTER without a message or a destination.
    HRESULT DeliverMessage(const IMessage* message, IMessageHandler* destination) override;

private:
    void Store(const IMessage* message, IMessageHandler* destination);

    ISettingsRegistrar* mFallback;
};

}  // namespace Host
