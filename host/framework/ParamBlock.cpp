#include "host/framework/ParamBlock.h"

#include <cstring>
#include <stdexcept>

#include "foundation/COMPtr.h"
#include "host/framework/FrameworkServices.h"
#include "host/framework/Message.h"

namespace Host {

ParamBlock& ParamBlock::Add(double value)
{
    Append(kMsgParam_Double, &value, sizeof value);
    return *this;
}

ParamBlock& ParamBlock::Add(int value)
{
    Append(kMsgParam_Int, &value, sizeof value);
    return *this;
}

ParamBlock& ParamBlock::Add(bool value)
{
    const uint32_t word = value ? 1 : 0;
    Append(kMsgParam_UInt, &word, sizeof word);
    return *this;
}

void ParamBlock::Append(uint32_t code, const void* value, uint32_t bytes)
{
    if (mCount == kMsgMaxParams)
        throw std::length_error("a message has at most 8 parameters");
    uint32_t signature = 0;
    std::memcpy(&signature, mBlock.data(), 4);
    signature |= code << (4 * mCount++);
    std::memcpy(mBlock.data(), &signature, 4);
    const auto* bytesOf = static_cast<const uint8_t*>(value);
    mBlock.insert(mBlock.end(), bytesOf, bytesOf + bytes);
}

HRESULT DeliverMessage(IMessageHandler* destination, TCAFId id, uint32_t flags, const ParamBlock& params)
{
    KVD::COMPtr<IMessage> message;
    const HRESULT made = Message::Create(id, flags, 0, nullptr, params.Data(), message.Set());
    if (message == nullptr)
        return made != KVD_S_OK ? made : KVD_E_BADSTATE;
    KVD::COMPtr<IMessageProcessor> processor;
    FrameworkServices::QueryInterface(IID_IMessageProcessor, processor.Set());
    return processor != nullptr ? processor->DeliverMessage(message, destination) : KVD_E_BADSTATE;
}

}  // namespace Host
