// A key of the settings registrar: its form, id and parts, an optional name and the optional
// interface id of the value stored under it. Keys compare by value.
#pragma once

#include "ISettingsRegistrar.h"
#include "foundation/KVDString.h"
#include "foundation/UnknownImp.h"
#include "host/framework/ServiceClassObject.h"

namespace Host {

class SettingsKey final : public SimpleUnknownImp1<ISettingsRegistrarKey, 0> {
public:
    // A new key with one reference.
    static ISettingsRegistrarKey* Create(const SRKeyParts& parts, const KVD::String& name, const _IID* valueIid);
    // Whether two keys (of any implementation) have the same form, parts, name and value id.
    static bool Equal(const ISettingsRegistrarKey* a, const ISettingsRegistrarKey* b);

    HRESULT GetParts(SRKeyParts* parts) const override;
    HRESULT GetName(IAutoKVDString** name) const override;
    HRESULT GetValueIID(_IID* iid) const override;
    HRESULT IsEqual(const ISettingsRegistrarKey* other, AutoBool* equal) const override;

private:
    SettingsKey(const SRKeyParts& parts, const KVD::String& name, const _IID* valueIid);

    SRKeyParts mParts;
    KVD::String mName;
    bool mHasValueIid;
    _IID mValueIid;
};

// The key class (fixed type id 0x8000000A).
class SRKeyClass final : public ServiceClassObject<ISRKeyClass> {
public:
    SRKeyClass();
    HRESULT CreateKey(TCAFId id, const _IID* iid, ISettingsRegistrarKey** out) override;
    HRESULT CreateIndexedKey(TCAFId id, uint32_t n, const _IID* iid, ISettingsRegistrarKey** out) override;
    HRESULT CreateIdPairKey(TCAFId a, TCAFId b, uint32_t n, const _IID* iid, ISettingsRegistrarKey** out) override;
    HRESULT CreateNamedKey(TCAFId id, IAutoKVDString* name, const _IID* iid, ISettingsRegistrarKey** out) override;
    HRESULT CreateTwoPartKey(TCAFId id, uint32_t a, uint32_t b, const _IID* iid, ISettingsRegistrarKey** out) override;

private:
    static HRESULT Make(const SRKeyParts& parts, const KVD::String& name, const _IID* iid, ISettingsRegistrarKey** out);
};

}  // namespace Host
