#include "host/settings/RegistrarRecords.h"

#include <cstring>
#include <vector>

#include "host/docfile/StoredId.h"
#include "host/framework/Message.h"
#include "host/settings/SettingsKey.h"

namespace Host {
namespace RegistrarRecords {
void WriteKey(KVD::BinOStream& out, const ISettingsRegistrarKey* key)
{
    SRKeyParts parts{};
    key->GetParts(&parts);
    _IID iid{};
    const bool hasIid = key->GetValueIID(&iid) == KVD_S_OK;
    KVD::String name;
    key->GetName(KVD::String::Setter(name));
    // Ids are kept by GUID: the dynamic ids of another process differ. The parts of an id-pair
    // key are ids too.
    out << parts.form;
    StoredId::Write(out, parts.id);
    if (parts.form == kSRKey_IdPair) {
        StoredId::Write(out, parts.a);
        StoredId::Write(out, parts.b);
    } else {
        out << parts.a << parts.b;
    }
    out << parts.n << static_cast<uint8_t>(hasIid);
    out.WriteRaw(&iid, sizeof(iid));
    out << name;
}

KVD::COMPtr<ISettingsRegistrarKey> ReadKey(KVD::BinIStream& in)
{
    SRKeyParts parts{};
    uint8_t hasIid = 0;
    _IID iid{};
    KVD::String name;
    in >> parts.form;
    parts.id = StoredId::Read(in);
    if (parts.form == kSRKey_IdPair) {
        parts.a = StoredId::Read(in);
        parts.b = StoredId::Read(in);
    } else {
        in >> parts.a >> parts.b;
    }
    in >> parts.n >> hasIid;
    in.ReadRaw(&iid, sizeof(iid));
    in >> name;
    if (!in.good())
        return nullptr;
    return KVD::COMPtr<ISettingsRegistrarKey>::Take(SettingsKey::Create(parts, name, hasIid != 0 ? &iid : nullptr));
}

void WriteMessage(KVD::BinOStream& out, const IMessage* message)
{
    const Message::Parts parts = Message::Read(message);
    // The low half of a view id is the view class's type id.
    StoredId::Write(out, parts.id);
    out << parts.flags;
    StoredId::Write(out, static_cast<TCAFId>(parts.viewId));
    out << static_cast<uint32_t>(parts.viewId >> 32) << static_cast<uint8_t>(parts.key != nullptr);
    if (parts.key != nullptr)
        WriteKey(out, parts.key);
    const uint8_t* bytes = static_cast<const uint8_t*>(parts.block);
    const uint32_t signature = Message::Signature(bytes);
    out << signature;
    Message::ForEachParam(signature, [&](uint32_t code, uint32_t offset) {
        if (code == kMsgParam_String) {
            const wchar_t* text = nullptr;
            std::memcpy(&text, bytes + offset, sizeof(text));
            out << KVD::String(text);
        } else if (code == kMsgParam_CAFId) {
            TCAFId value = 0;
            std::memcpy(&value, bytes + offset, 4);
            StoredId::Write(out, value);
        } else {
            out.WriteRaw(bytes + offset, MsgParamSize(code));
        }
    });
}

KVD::COMPtr<IMessage> ReadMessage(KVD::BinIStream& in)
{
    const TCAFId id = StoredId::Read(in);
    uint32_t flags = 0;
    in >> flags;
    const TCAFId viewLow = StoredId::Read(in);
    uint32_t viewHigh = 0;
    uint8_t hasKey = 0;
    in >> viewHigh >> hasKey;
    const uint64_t viewId = static_cast<uint64_t>(viewHigh) << 32 | viewLow;
    KVD::COMPtr<ISettingsRegistrarKey> key;
    if (hasKey != 0)
        key = ReadKey(in);
    uint32_t signature = 0;
    in >> signature;
    std::vector<uint8_t> block(Message::BlockSize(&signature));
    if (!in.good() || (hasKey != 0 && key == nullptr) || block.empty())
        return nullptr;
    std::memcpy(block.data(), &signature, 4);
    std::vector<KVD::String> texts;
    texts.reserve(kMsgMaxParams);  // the block points into them
    Message::ForEachParam(signature, [&](uint32_t code, uint32_t offset) {
        if (code == kMsgParam_String) {
            texts.emplace_back();
            in >> texts.back();
            const wchar_t* text = texts.back().c_str();
            std::memcpy(&block[offset], &text, sizeof(text));
        } else if (code == kMsgParam_CAFId) {
            const TCAFId value = StoredId::Read(in);
            std::memcpy(&block[offset], &value, 4);
        } else {
            in.ReadRaw(&block[offset], MsgParamSize(code));
        }
    });
    if (!in.good())
        return nullptr;
    KVD::COMPtr<IMessage> message;
    Message::Create(id, flags, viewId, key, signature == 0 ? nullptr : block.data(), message.Set());
    return message;
}

}  // namespace RegistrarRecords
}  // namespace Host
