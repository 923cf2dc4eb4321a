// The host's framework message: id, flags, view id, settings key and a private copy of the
// parameter block, whose string parameters point at the message's own copies of the texts.
#pragma once

#include <string>
#include <vector>

#include "IMessage.h"
#include "ISettingsRegistrar.h"
#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"
#include "host/framework/SenderMarked.h"

namespace Host {

class Message final : public SenderMarked<SimpleUnknownImp1<IMessage, 0>> {
public:
    // What a message carries, read through its interface.
    struct Parts {
        TCAFId id = 0;
        uint32_t flags = 0;
        uint64_t viewId = 0;
        const void* block = nullptr;
        KVD::COMPtr<ISettingsRegistrarKey> key;
    };
    static Parts Read(const IMessage* message);

    // Copies the parameter block; KVD_E_BADSTATE for a signature with an unknown type code or
    // a parameter after the last one.
    static HRESULT Create(TCAFId id, uint32_t flags, uint64_t viewId, ISettingsRegistrarKey* key, const void* block,
                          IMessage** out);
    // A copy without the sender mark.
    static HRESULT Clone(const IMessage* message, IMessage** out);
    // Bytes of a parameter block (its signature included), or 0 for a bad signature.
    static uint32_t BlockSize(const void* block);
    // The signature at the head of a parameter block; 0 without a block.
    static uint32_t Signature(const void* block);
    // Calls f(code, offset from the block's start) for each parameter; false for a bad
    // signature (an unknown type code, or a parameter after the last one).
    template <class F>
    static bool ForEachParam(uint32_t signature, F f)
    {
        uint32_t offset = 4;
        bool ended = false;
        for (unsigned i = 0; i < kMsgMaxParams; ++i) {
            const uint32_t code = signature >> (4 * i) & 0xF;
            if (code == 0) {
                ended = true;
                continue;
            }
            if (ended || MsgParamSize(code) == 0)
                return false;
            f(code, offset);
            offset += MsgParamSize(code);
        }
        return true;
    }

    HRESULT GetId(TCAFId* id) const override;
    HRESULT GetFlags(uint32_t* flags) const override;
    HRESULT GetParamBlock(const void** block) const override;
    HRESULT GetViewId(uint64_t* viewId) const override;
    HRESULT GetKey(ISettingsRegistrarKey** key) const override;

private:
    Message(TCAFId id, uint32_t flags, uint64_t viewId, ISettingsRegistrarKey* key);
    void CopyBlock(const uint8_t* block, uint32_t bytes);

    TCAFId mId;
    uint32_t mFlags;
    uint64_t mViewId;
    KVD::COMPtr<ISettingsRegistrarKey> mKey;
    std::vector<uint8_t> mBlock;
    std::vector<std::wstring> mTexts;  // the string parameters; mBlock points into them
};

}  // namespace Host
