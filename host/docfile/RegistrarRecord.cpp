#include "host/docfile/RegistrarRecord.h"

#include <cstring>
#include <list>
#include <vector>

#include "IMessage.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "host/Message.h"
#include "host/SettingsKey.h"
#include "host/data/Adopt.h"
#include "host/docfile/StoredId.h"

namespace Host::RegistrarRecord {
namespace {

constexpr uint32_t kVersion = 1;

// The parts of an id-pair key are ids; every other part is a plain number.
void WriteKey(KVD::BinOStream& out, const ISettingsRegistrarKey& key)
{
    SRKeyParts parts{};
    key.GetParts(&parts);
    out << parts.form;
    StoredId::Write(out, parts.id);
    if (parts.form == kSRKey_IdPair) {
        StoredId::Write(out, parts.a);
        StoredId::Write(out, parts.b);
    } else {
        out << parts.a << parts.b;
    }
    out << parts.n;
    KVD::String name;
    key.GetName(KVD::String::Setter(name));
    out << name;
    _IID iid{};
    const bool hasIid = key.GetValueIID(&iid) == KVD_S_OK;
    out << uint8_t(hasIid);
    if (hasIid)
        out.WriteRaw(&iid, sizeof iid);
}

KVD::COMPtr<ISettingsRegistrarKey> ReadKey(KVD::BinIStream& in)
{
    SRKeyParts parts{};
    in >> parts.form;
    parts.id = StoredId::Read(in);
    if (parts.form == kSRKey_IdPair) {
        parts.a = StoredId::Read(in);
        parts.b = StoredId::Read(in);
    } else {
        in >> parts.a >> parts.b;
    }
    in >> parts.n;
    KVD::String name;
    in >> name;
    uint8_t hasIid = 0;
    _IID iid{};
    in >> hasIid;
    if (hasIid != 0)
        in.ReadRaw(&iid, sizeof iid);
    if (!in.good() || parts.form < kSRKey_Id || parts.form > kSRKey_TwoParts)
        return nullptr;
    return Adopt(SettingsKey::Create(parts, name, hasIid != 0 ? &iid : nullptr));
}

// Calls f(code, offset of the value) for each parameter of a signature that Message accepts.
template <class F>
void ForEachParam(uint32_t signature, F f)
{
    uint32_t offset = 4;
    for (unsigned i = 0; i < kMsgMaxParams; ++i) {
        const uint32_t code = (signature >> (4 * i)) & 0xF;
        if (code == 0)
            return;
        f(code, offset);
        offset += MsgParamSize(code);
    }
}

void WriteBlock(KVD::BinOStream& out, const uint8_t* block)
{
    uint32_t signature = 0;
    if (block != nullptr)
        std::memcpy(&signature, block, 4);
    out << signature;
    ForEachParam(signature, [&](uint32_t code, uint32_t offset) {
        const uint8_t* value = block + offset;
        if (code == kMsgParam_CAFId) {
            TCAFId id = 0;
            std::memcpy(&id, value, 4);
            StoredId::Write(out, id);
        } else if (code == kMsgParam_String) {
            const wchar_t* text = nullptr;
            std::memcpy(&text, value, sizeof text);
            out << KVD::String(text != nullptr ? text : L"");
        } else {
            out.WriteRaw(value, MsgParamSize(code));
        }
    });
}

// The block with its string parameters pointing into texts, which must outlive its use.
std::vector<uint8_t> ReadBlock(KVD::BinIStream& in, std::list<KVD::String>& texts)
{
    uint32_t signature = 0;
    in >> signature;
    const uint32_t bytes = Message::BlockSize(&signature);
    if (!in.good() || bytes == 0) {
        in.SetState(KVD::BinStream::kTransferFailed);
        return {};
    }
    std::vector<uint8_t> block(bytes);
    std::memcpy(block.data(), &signature, 4);
    ForEachParam(signature, [&](uint32_t code, uint32_t offset) {
        uint8_t* value = block.data() + offset;
        if (code == kMsgParam_CAFId) {
            const TCAFId id = StoredId::Read(in);
            std::memcpy(value, &id, 4);
        } else if (code == kMsgParam_String) {
            texts.emplace_back();
            in >> texts.back();
            const wchar_t* text = texts.back().c_str();
            std::memcpy(value, &text, sizeof text);
        } else {
            in.ReadRaw(value, MsgParamSize(code));
        }
    });
    return block;
}

void WriteMessage(KVD::BinOStream& out, const IMessage& message)
{
    TCAFId id = 0;
    uint32_t flags = 0;
    uint64_t viewId = 0;
    const void* block = nullptr;
    KVD::COMPtr<ISettingsRegistrarKey> key;
    message.GetId(&id);
    message.GetFlags(&flags);
    message.GetViewId(&viewId);
    message.GetParamBlock(&block);
    message.GetKey(key.Set());
    StoredId::Write(out, id);
    out << flags;
    // The low half of a view id is the view class's type id.
    StoredId::Write(out, TCAFId(viewId));
    out << uint32_t(viewId >> 32) << uint8_t(key != nullptr);
    if (key != nullptr)
        WriteKey(out, *key);
    WriteBlock(out, static_cast<const uint8_t*>(block));
}

KVD::COMPtr<IMessage> ReadMessage(KVD::BinIStream& in)
{
    const TCAFId id = StoredId::Read(in);
    uint32_t flags = 0, viewHigh = 0;
    in >> flags;
    const TCAFId viewLow = StoredId::Read(in);
    uint8_t hasKey = 0;
    in >> viewHigh >> hasKey;
    KVD::COMPtr<ISettingsRegistrarKey> key;
    if (hasKey != 0 && (key = ReadKey(in)) == nullptr)
        return nullptr;
    std::list<KVD::String> texts;
    const std::vector<uint8_t> block = ReadBlock(in, texts);
    KVD::COMPtr<IMessage> message;
    if (in.good())
        Message::Create(id, flags, uint64_t(viewHigh) << 32 | viewLow, key, block.data(), message.Set());
    return message;
}

}  // namespace

void Write(const ISettingsRegistrar& registrar, KVD::BinOStream& out)
{
    uint32_t count = 0;
    registrar.GetObjectCount(&count);
    std::vector<std::pair<KVD::COMPtr<ISettingsRegistrarKey>, KVD::COMPtr<IMessage>>> messages;
    for (uint32_t i = 0; i < count; ++i) {
        KVD::COMPtr<ISettingsRegistrarKey> key;
        KVD::COMPtr<IUnknown> object;
        registrar.GetKeyAt(i, key.Set());
        registrar.GetObject(key, object.Set());
        KVD::COMPtr<IMessage> message(KVD::com_cast(object.get()));
        if (message != nullptr)
            messages.emplace_back(key, message);
    }
    out << kVersion << uint32_t(messages.size());
    for (const auto& [key, message] : messages) {
        WriteKey(out, *key);
        WriteMessage(out, *message);
    }
}

bool Read(ISettingsRegistrar& registrar, KVD::BinIStream& in)
{
    uint32_t version = 0, count = 0;
    in >> version >> count;
    if (version != kVersion)
        return false;
    for (uint32_t i = 0; i < count && in.good(); ++i) {
        KVD::COMPtr<ISettingsRegistrarKey> key = ReadKey(in);
        KVD::COMPtr<IMessage> message = key != nullptr ? ReadMessage(in) : nullptr;
        if (message == nullptr)
            return false;
        registrar.SetObject(key, message);
    }
    return in.good();
}

}  // namespace Host::RegistrarRecord
