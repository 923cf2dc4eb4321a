#include "host/settings/SettingsKey.h"

#include "FrameworkIds.h"

namespace Host {

SettingsKey::SettingsKey(const SRKeyParts& parts, const KVD::String& name, const _IID* valueIid)
    : mParts(parts), mName(name), mHasValueIid(valueIid != nullptr), mValueIid(valueIid != nullptr ? *valueIid : _IID{})
{
}

ISettingsRegistrarKey* SettingsKey::Create(const SRKeyParts& parts, const KVD::String& name, const _IID* valueIid)
{
    return KVD::COMPtr<SettingsKey>(new SettingsKey(parts, name, valueIid)).Forget();
}

bool SettingsKey::Equal(const ISettingsRegistrarKey* a, const ISettingsRegistrarKey* b)
{
    if (a == b)
        return true;
    if (a == nullptr || b == nullptr)
        return false;
    SRKeyParts pa{}, pb{};
    _IID ia{}, ib{};
    a->GetParts(&pa);
    b->GetParts(&pb);
    const HRESULT ha = a->GetValueIID(&ia);
    const HRESULT hb = b->GetValueIID(&ib);
    if (pa.form != pb.form || pa.id != pb.id || pa.a != pb.a || pa.b != pb.b || pa.n != pb.n || ha != hb || ia != ib)
        return false;
    KVD::String na, nb;
    a->GetName(KVD::String::Setter(na));
    b->GetName(KVD::String::Setter(nb));
    return na == nb;
}

HRESULT SettingsKey::GetParts(SRKeyParts* parts) const
{
    if (parts == nullptr)
        return KVD_E_POINTER;
    *parts = mParts;
    return KVD_S_OK;
}

HRESULT SettingsKey::GetName(IAutoKVDString** name) const
{
    if (name == nullptr)
        return KVD_E_POINTER;
    mName.GetOut(name);
    return KVD_S_OK;
}

HRESULT SettingsKey::GetValueIID(_IID* iid) const
{
    if (iid == nullptr)
        return KVD_E_POINTER;
    *iid = mValueIid;
    return mHasValueIid ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT SettingsKey::IsEqual(const ISettingsRegistrarKey* other, AutoBool* equal) const
{
    if (equal == nullptr)
        return KVD_E_POINTER;
    *equal = Equal(this, other) ? kAutoTrue : kAutoFalse;
    return KVD_S_OK;
}

SRKeyClass::SRKeyClass() : ServiceClassObject(kTypeId_SRKeyClass, L"Settings key class") {}

HRESULT SRKeyClass::Make(const SRKeyParts& parts, const KVD::String& name, const _IID* iid, ISettingsRegistrarKey** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = SettingsKey::Create(parts, name, iid);
    return KVD_S_OK;
}

HRESULT SRKeyClass::CreateKey(TCAFId id, const _IID* iid, ISettingsRegistrarKey** out)
{
    return Make({kSRKey_Id, id, 0, 0, 0}, KVD::String(), iid, out);
}

HRESULT SRKeyClass::CreateIndexedKey(TCAFId id, uint32_t n, const _IID* iid, ISettingsRegistrarKey** out)
{
    return Make({kSRKey_Index, id, 0, 0, n}, KVD::String(), iid, out);
}

// The first id is the key's id: it decides the namespace the key belongs to.
HRESULT SRKeyClass::CreateIdPairKey(TCAFId a, TCAFId b, uint32_t n, const _IID* iid, ISettingsRegistrarKey** out)
{
    return Make({kSRKey_IdPair, a, a, b, n}, KVD::String(), iid, out);
}

HRESULT SRKeyClass::CreateNamedKey(TCAFId id, IAutoKVDString* name, const _IID* iid, ISettingsRegistrarKey** out)
{
    return Make({kSRKey_Name, id, 0, 0, 0}, KVD::String(name), iid, out);
}

HRESULT SRKeyClass::CreateTwoPartKey(TCAFId id, uint32_t a, uint32_t b, const _IID* iid, ISettingsRegistrarKey** out)
{
    return Make({kSRKey_TwoParts, id, a, b, 0}, KVD::String(), iid, out);
}

}  // namespace Host
