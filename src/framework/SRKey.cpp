#include "framework/SRKey.h"

#include "FrameworkIds.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"

ISRKeyClass* SRKey::KeyClass()
{
    return ObjectFactoryClassObjectAccessor<ISRKeyClass, StaticTypeIdClass<kTypeId_SRKeyClass>>::Get();
}

SRKey::SRKey(TCAFId id, const _IID* iid)
{
    if (ISRKeyClass* keys = KeyClass())
        keys->CreateKey(id, iid, mKey.Set());
}

SRKey::SRKey(TCAFId id, unsigned int n, const _IID* iid)
{
    if (ISRKeyClass* keys = KeyClass())
        keys->CreateIndexedKey(id, n, iid, mKey.Set());
}

SRKey SRKey::IdPair(CAFId a, CAFId b, unsigned int n, const _IID* iid)
{
    SRKey key;
    if (ISRKeyClass* keys = KeyClass())
        keys->CreateIdPairKey(a, b, n, iid, key.mKey.Set());
    return key;
}

SRKey::SRKey(TCAFId id, const KVD::String& name, const _IID* iid)
{
    if (ISRKeyClass* keys = KeyClass())
        keys->CreateNamedKey(id, name.AsIAutoKVDString(), iid, mKey.Set());
}

SRKey::SRKey(TCAFId id, unsigned int a, unsigned int b, const _IID* iid)
{
    if (ISRKeyClass* keys = KeyClass())
        keys->CreateTwoPartKey(id, a, b, iid, mKey.Set());
}

WindowKey::WindowKey(CAFId messageId, WindowId id)
    : SRKey(messageId, static_cast<unsigned int>(id), static_cast<unsigned int>(id >> 32), &SRCAT_WindowPos)
{
}
