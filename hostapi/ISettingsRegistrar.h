// The host's settings registrar: objects (usually framework messages) and values stored under
// keys, kept with a document. Keys are made by the host's key class and compare by value.
#pragma once

#include "IEnumUnknown.h"
#include "IFramework.h"
#include "IStream.h"
#include "ReservedSlots.h"

// D6C4635F-109B-4224-A97F-2EBCAC1CF1BC
inline constexpr _IID IID_ISettingsRegistrarKey = {0xD6C4635F, 0x109B, 0x4224, {0xA9, 0x7F, 0x2E, 0xBC, 0xAC, 0x1C, 0xF1, 0xBC}};
// 0DE43654-D539-4BF4-BFC4-95935ED3A1B2
inline constexpr _IID IID_ISRKeyClass = {0x0DE43654, 0xD539, 0x4BF4, {0xBF, 0xC4, 0x95, 0x93, 0x5E, 0xD3, 0xA1, 0xB2}};
// C22007F2-0DE0-4336-B96C-26282D4F1044
inline constexpr _IID IID_ISettingsRegistrar = {0xC22007F2, 0x0DE0, 0x4336, {0xB9, 0x6C, 0x26, 0x28, 0x2D, 0x4F, 0x10, 0x44}};

// The five forms of a key, by the parts besides its id.
enum SRKeyForm : uint32_t {
    kSRKey_Id = 1,          // id
    kSRKey_Index = 2,       // id, n
    kSRKey_IdPair = 3,      // a, b (two ids), n
    kSRKey_Name = 4,        // id, name
    kSRKey_TwoParts = 5,    // id, a, b
};

// The parts of a key. Parts a form does not have are 0 (the name is empty).
struct SRKeyParts {
    uint32_t form;
    TCAFId id;
    uint32_t a;
    uint32_t b;
    uint32_t n;
};

struct ISettingsRegistrarKey : IUnknown {
    virtual HRESULT GetParts(SRKeyParts* parts) const = 0;                           // slot 3
    virtual HRESULT GetName(IAutoKVDString** name) const = 0;                        // slot 4
    // The interface id of the stored value; KVD_S_FALSE (and all zero) when the key has none.
    virtual HRESULT GetValueIID(_IID* iid) const = 0;                                // slot 5
    // Equal keys have the same form, parts, name and value interface id.
    virtual HRESULT IsEqual(const ISettingsRegistrarKey* other, AutoBool* equal) const = 0;  // slot 6
};

// The host's key class: a class object of fixed type id 0x8000000A. The five create operations
// follow the class-object operations; the last argument of each is the optional interface id of
// the stored value.
struct ISRKeyClass : ICAFClassObject {
    virtual HRESULT CreateKey(TCAFId id, const _IID* iid, ISettingsRegistrarKey** out) = 0;              // slot 7
    virtual HRESULT CreateIndexedKey(TCAFId id, uint32_t n, const _IID* iid, ISettingsRegistrarKey** out) = 0;  // slot 8
    virtual HRESULT CreateIdPairKey(TCAFId a, TCAFId b, uint32_t n, const _IID* iid,
                                    ISettingsRegistrarKey** out) = 0;                                   // slot 9
    virtual HRESULT CreateNamedKey(TCAFId id, IAutoKVDString* name, const _IID* iid,
                                   ISettingsRegistrarKey** out) = 0;                                    // slot 10
    virtual HRESULT CreateTwoPartKey(TCAFId id, uint32_t a, uint32_t b, const _IID* iid,
                                     ISettingsRegistrarKey** out) = 0;                                  // slot 11
};

// Objects are kept with a reference, one per key; storing under a key that holds one replaces
// it and makes it the latest stored. Enumerations run in store order.
struct ISettingsRegistrar : IUnknown {
    virtual HRESULT SetObject(const ISettingsRegistrarKey* key, IUnknown* object) = 0;                  // slot 3
    // The object stored under the key, with a reference; null and KVD_S_FALSE when none.
    virtual HRESULT GetObject(const ISettingsRegistrarKey* key, IUnknown** out) const = 0;              // slot 4
    // KVD_S_FALSE when nothing was stored under the key.
    virtual HRESULT RemoveObject(const ISettingsRegistrarKey* key) = 0;                                 // slot 5
    // The objects whose key id has this dynamic id in its high half.
    virtual HRESULT EnumObjects(uint16_t dynId, IEnumUnknown** out) const = 0;                          // slot 6
    // Every object.
    virtual HRESULT EnumAllObjects(IEnumUnknown** out) const = 0;                                       // slot 7
    // The key of the index-th object in store order, with a reference.
    virtual HRESULT GetKeyAt(uint32_t index, ISettingsRegistrarKey** key) const = 0;                    // slot 8
    virtual HRESULT GetObjectCount(uint32_t* count) const = 0;                                          // slot 9
    // Writes the stored messages and values, in store order, to the stream; objects that are
    // not messages live only as long as the registrar and are not written.
    virtual HRESULT Save(IStream* stream) const = 0;                                                    // slot 10
    // Replaces the contents by what Save wrote. A stream of a newer format gives
    // KVD_E_NEWERVERSION and a damaged one a failure; the contents stay as they were then.
    virtual HRESULT Load(IStream* stream) = 0;                                                          // slot 11
    KVD_RESERVED_SLOTS(12, 20)
    // Values are byte strings. Stores a copy; replaces what the key held.
    virtual HRESULT SetValue(const ISettingsRegistrarKey* key, const void* bytes, uint32_t size) = 0;    // slot 21
    // Copies up to capacity bytes of the stored value; size receives its full length.
    // KVD_S_FALSE when no value is stored under the key.
    virtual HRESULT GetValue(const ISettingsRegistrarKey* key, void* bytes, uint32_t capacity,
                             uint32_t* size) const = 0;                                                 // slot 22
    virtual HRESULT RemoveValue(const ISettingsRegistrarKey* key) = 0;                                  // slot 23
};

KVD_INTERFACE_ID(ISettingsRegistrarKey, IID_ISettingsRegistrarKey);
KVD_INTERFACE_ID(ISRKeyClass, IID_ISRKeyClass);
KVD_INTERFACE_ID(ISettingsRegistrar, IID_ISettingsRegistrar);
