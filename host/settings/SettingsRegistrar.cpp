#include "host/settings/SettingsRegistrar.h"

#include <algorithm>
#include <cstring>

#include "IMessage.h"
#include "foundation/StorageStreamBuf.h"
#include "foundation/XKVD.h"
#include "host/settings/RegistrarRecords.h"
#include "host/settings/SettingsKey.h"
#include "foundation/EnumArray.h"
#include "foundation/InterfaceArray.h"

namespace Host {
namespace {

// Record versions up to 9 hold 8-bit strings: the registrar writes its texts in UTF-16.
constexpr unsigned char kFormatVersion = 10;

}  // namespace

ISettingsRegistrar* SettingsRegistrar::Create()
{
    return KVD::COMPtr<SettingsRegistrar>(new SettingsRegistrar()).Forget();
}

template <class Entries>
auto SettingsRegistrar::Find(Entries& entries, const ISettingsRegistrarKey* key)
{
    return std::find_if(entries.begin(), entries.end(),
                        [key](const auto& entry) { return SettingsKey::Equal(entry.key, key); });
}

HRESULT SettingsRegistrar::SetObject(const ISettingsRegistrarKey* key, IUnknown* object)
{
    if (key == nullptr || object == nullptr)
        return KVD_E_POINTER;
    auto it = Find(mObjects, key);
    if (it != mObjects.end())
        mObjects.erase(it);
    mObjects.push_back({const_cast<ISettingsRegistrarKey*>(key), object});
    return KVD_S_OK;
}

HRESULT SettingsRegistrar::GetObject(const ISettingsRegistrarKey* key, IUnknown** out) const
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    auto it = Find(mObjects, key);
    if (it == mObjects.end())
        return KVD_S_FALSE;
    it->object.GetOut(out);
    return KVD_S_OK;
}

HRESULT SettingsRegistrar::RemoveObject(const ISettingsRegistrarKey* key)
{
    auto it = Find(mObjects, key);
    if (it == mObjects.end())
        return KVD_S_FALSE;
    mObjects.erase(it);
    return KVD_S_OK;
}

HRESULT SettingsRegistrar::Enumerate(bool all, uint16_t dynId, IEnumUnknown** out) const
{
    if (out == nullptr)
        return KVD_E_POINTER;
    InterfaceArrayBase<IUnknown> objects;
    for (const Stored& stored : mObjects) {
        SRKeyParts parts{};
        stored.key->GetParts(&parts);
        if (all || parts.id >> 16 == dynId)
            objects.Add(stored.object);
    }
    return InterfaceEnum::EnumArray<IEnumUnknown, IUnknown>::Create(objects, out);
}

HRESULT SettingsRegistrar::EnumObjects(uint16_t dynId, IEnumUnknown** out) const
{
    return Enumerate(false, dynId, out);
}

HRESULT SettingsRegistrar::EnumAllObjects(IEnumUnknown** out) const
{
    return Enumerate(true, 0, out);
}

HRESULT SettingsRegistrar::GetKeyAt(uint32_t index, ISettingsRegistrarKey** key) const
{
    if (key == nullptr)
        return KVD_E_POINTER;
    *key = nullptr;
    if (index >= mObjects.size())
        return KVD_E_BADSTATE;
    mObjects[index].key.GetOut(key);
    return KVD_S_OK;
}

HRESULT SettingsRegistrar::GetObjectCount(uint32_t* count) const
{
    if (count == nullptr)
        return KVD_E_POINTER;
    *count = static_cast<uint32_t>(mObjects.size());
    return KVD_S_OK;
}

HRESULT SettingsRegistrar::Save(IStream* stream) const
{
    if (stream == nullptr)
        return KVD_E_POINTER;
    KVD::StorageOutStreamBuf buffer;
    if (buffer.attach(stream, true) == nullptr)
        return KVD_E_BADSTATE;
    KVD::BinOStream out(&buffer, kFormatVersion);
    std::vector<std::pair<ISettingsRegistrarKey*, KVD::COMPtr<IMessage>>> messages;
    for (const Stored& stored : mObjects)
        if (KVD::COMPtr<IMessage> message{KVD::com_cast(stored.object.get())})
            messages.emplace_back(stored.key, message);
    out << static_cast<uint32_t>(messages.size());
    for (const auto& [key, message] : messages) {
        RegistrarRecords::WriteKey(out, key);
        RegistrarRecords::WriteMessage(out, message);
    }
    out << static_cast<uint32_t>(mValues.size());
    for (const Value& value : mValues) {
        RegistrarRecords::WriteKey(out, value.key);
        out << static_cast<uint32_t>(value.bytes.size());
        out.WriteRaw(value.bytes.data(), value.bytes.size());
    }
    out.flush();
    return out.StateResult();
}

// What is read is kept aside until the whole stream has been read.
HRESULT SettingsRegistrar::Load(IStream* stream)
{
    if (stream == nullptr)
        return KVD_E_POINTER;
    KVD::StorageInStreamBuf buffer;
    if (buffer.attach(stream, false) == nullptr)
        return KVD_E_BADSTATE;
    std::vector<Stored> objects;
    std::vector<Value> values;
    try {
        KVD::BinIStream in(&buffer);
        if (in.Version() > kFormatVersion)
            return KVD_E_NEWERVERSION;
        uint32_t count = 0;
        in >> count;
        for (uint32_t i = 0; i < count && in.good(); ++i) {
            KVD::COMPtr<ISettingsRegistrarKey> key = RegistrarRecords::ReadKey(in);
            KVD::COMPtr<IMessage> message = RegistrarRecords::ReadMessage(in);
            if (key == nullptr || message == nullptr)
                return KVD_E_BADSTATE;
            objects.push_back({key, message});
        }
        in >> count;
        for (uint32_t i = 0; i < count && in.good(); ++i) {
            Value value{RegistrarRecords::ReadKey(in), {}};
            uint32_t size = 0;
            in >> size;
            // Read in pieces: a damaged size must not make a huge buffer before the data runs out.
            while (in.good() && value.bytes.size() < size) {
                uint8_t piece[256];
                const size_t n = std::min<size_t>(sizeof(piece), size - value.bytes.size());
                if (in.ReadRaw(piece, n))
                    value.bytes.insert(value.bytes.end(), piece, piece + n);
            }
            if (value.key == nullptr)
                return KVD_E_BADSTATE;
            values.push_back(std::move(value));
        }
        if (!in.good())
            return in.StateResult();
    } catch (const XKVD& failure) {
        return failure.GetCode();
    }
    mObjects = std::move(objects);
    mValues = std::move(values);
    return KVD_S_OK;
}

HRESULT SettingsRegistrar::SetValue(const ISettingsRegistrarKey* key, const void* bytes, uint32_t size)
{
    if (key == nullptr || (bytes == nullptr && size != 0))
        return KVD_E_POINTER;
    const uint8_t* begin = static_cast<const uint8_t*>(bytes);
    auto it = Find(mValues, key);
    if (it != mValues.end())
        mValues.erase(it);
    mValues.push_back({const_cast<ISettingsRegistrarKey*>(key), std::vector<uint8_t>(begin, begin + size)});
    return KVD_S_OK;
}

HRESULT SettingsRegistrar::GetValue(const ISettingsRegistrarKey* key, void* bytes, uint32_t capacity,
                                    uint32_t* size) const
{
    if (size == nullptr || (bytes == nullptr && capacity != 0))
        return KVD_E_POINTER;
    *size = 0;
    auto it = Find(mValues, key);
    if (it == mValues.end())
        return KVD_S_FALSE;
    *size = static_cast<uint32_t>(it->bytes.size());
    if (capacity != 0 && !it->bytes.empty())
        std::memcpy(bytes, it->bytes.data(), std::min<size_t>(capacity, it->bytes.size()));
    return KVD_S_OK;
}

HRESULT SettingsRegistrar::RemoveValue(const ISettingsRegistrarKey* key)
{
    auto it = Find(mValues, key);
    if (it == mValues.end())
        return KVD_S_FALSE;
    mValues.erase(it);
    return KVD_S_OK;
}

}  // namespace Host
