#include "host/framework/Message.h"

#include <cstring>

namespace Host {

Message::Parts Message::Read(const IMessage* message)
{
    Parts parts;
    message->GetId(&parts.id);
    message->GetFlags(&parts.flags);
    message->GetViewId(&parts.viewId);
    message->GetParamBlock(&parts.block);
    message->GetKey(parts.key.Set());
    return parts;
}

uint32_t Message::BlockSize(const void* block)
{
    if (block == nullptr)
        return 0;
    uint32_t bytes = 4;
    if (!ForEachParam(Signature(block), [&bytes](uint32_t code, uint32_t) { bytes += MsgParamSize(code); }))
        return 0;
    return bytes;
}

uint32_t Message::Signature(const void* block)
{
    uint32_t signature = 0;
    if (block != nullptr)
        std::memcpy(&signature, block, 4);
    return signature;
}

Message::Message(TCAFId id, uint32_t flags, uint64_t viewId, ISettingsRegistrarKey* key)
    : mId(id), mFlags(flags), mViewId(viewId), mKey(key)
{
}

HRESULT Message::Create(TCAFId id, uint32_t flags, uint64_t viewId, ISettingsRegistrarKey* key, const void* block,
                        IMessage** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    const uint32_t bytes = BlockSize(block);
    if (block != nullptr && bytes == 0)
        return KVD_E_BADSTATE;
    KVD::COMPtr<Message> message(new Message(id, flags, viewId, key));
    message->CopyBlock(static_cast<const uint8_t*>(block), bytes);
    *out = message.Forget();
    return KVD_S_OK;
}

HRESULT Message::Clone(const IMessage* message, IMessage** out)
{
    if (message == nullptr)
        return KVD_E_POINTER;
    const Parts parts = Read(message);
    return Create(parts.id, parts.flags, parts.viewId, parts.key, parts.block, out);
}

// Strings are copied by value: the block that comes in may point at texts of the sender's
// that do not outlive the send.
void Message::CopyBlock(const uint8_t* block, uint32_t bytes)
{
    if (block == nullptr)
        return;
    mBlock.assign(block, block + bytes);
    std::vector<uint32_t> stringOffsets;
    ForEachParam(Signature(block), [&](uint32_t code, uint32_t offset) {
        if (code != kMsgParam_String)
            return;
        const wchar_t* text = nullptr;
        std::memcpy(&text, block + offset, sizeof(text));
        mTexts.emplace_back(text != nullptr ? text : L"");
        stringOffsets.push_back(offset);
    });
    for (size_t i = 0; i < stringOffsets.size(); ++i) {
        const wchar_t* own = mTexts[i].c_str();
        std::memcpy(&mBlock[stringOffsets[i]], &own, sizeof(own));
    }
}

HRESULT Message::GetId(TCAFId* id) const
{
    if (id == nullptr)
        return KVD_E_POINTER;
    *id = mId;
    return KVD_S_OK;
}

HRESULT Message::GetFlags(uint32_t* flags) const
{
    if (flags == nullptr)
        return KVD_E_POINTER;
    *flags = mFlags;
    return KVD_S_OK;
}

HRESULT Message::GetParamBlock(const void** block) const
{
    if (block == nullptr)
        return KVD_E_POINTER;
    *block = mBlock.empty() ? nullptr : mBlock.data();
    return KVD_S_OK;
}

HRESULT Message::GetViewId(uint64_t* viewId) const
{
    if (viewId == nullptr)
        return KVD_E_POINTER;
    *viewId = mViewId;
    return KVD_S_OK;
}

HRESULT Message::GetKey(ISettingsRegistrarKey** key) const
{
    if (key == nullptr)
        return KVD_E_POINTER;
    mKey.GetOut(key);
    return mKey == nullptr ? KVD_S_FALSE : KVD_S_OK;
}

}  // namespace Host
