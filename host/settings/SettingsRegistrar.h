// The host's settings registrar: objects (framework messages, settings objects) and values
// stored under keys. Storing under a key replaces what it held and makes it the latest stored,
// so replaying in store order ends with the latest state.
#pragma once

#include <vector>

#include "ISettingsRegistrar.h"
#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"

namespace Host {

class SettingsRegistrar final : public SimpleUnknownImp1<ISettingsRegistrar, 0> {
public:
    // A new, empty registrar with one reference.
    static ISettingsRegistrar* Create();

    HRESULT SetObject(const ISettingsRegistrarKey* key, IUnknown* object) override;
    HRESULT GetObject(const ISettingsRegistrarKey* key, IUnknown** out) const override;
    HRESULT RemoveObject(const ISettingsRegistrarKey* key) override;
    HRESULT EnumObjects(uint16_t dynId, IEnumUnknown** out) const override;
    HRESULT EnumAllObjects(IEnumUnknown** out) const override;
    HRESULT GetKeyAt(uint32_t index, ISettingsRegistrarKey** key) const override;
    HRESULT GetObjectCount(uint32_t* count) const override;
    HRESULT Save(IStream* stream) const override;
    HRESULT Load(IStream* stream) override;
    KVD_RESERVED_SLOTS_NOTIMPL(12, 20)
    HRESULT SetValue(const ISettingsRegistrarKey* key, const void* bytes, uint32_t size) override;
    HRESULT GetValue(const ISettingsRegistrarKey* key, void* bytes, uint32_t capacity, uint32_t* size) const override;
    HRESULT RemoveValue(const ISettingsRegistrarKey* key) override;

private:
    SettingsRegistrar() = default;

    struct Stored {
        KVD::COMPtr<ISettingsRegistrarKey> key;  // keys never change
        KVD::COMPtr<IUnknown> object;
    };
    struct Value {
        KVD::COMPtr<ISettingsRegistrarKey> key;  // keys never change
        std::vector<uint8_t> bytes;
    };

    template <class Entries>
    static auto Find(Entries& entries, const ISettingsRegistrarKey* key);
    HRESULT Enumerate(bool all, uint16_t dynId, IEnumUnknown** out) const;

    std::vector<Stored> mObjects;  // in store order
    std::vector<Value> mValues;
};

}  // namespace Host
