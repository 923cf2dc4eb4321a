// Table-driven QueryInterface. Each map-driven class declares one static interface map; its
// QueryInterface walks the map with the object's start address. Offsets in the map are taken
// from the object's start, so every secondary base's entry point (whose this-pointer the
// compiler adjusts back to the object) answers the same.
#pragma once

#include <cstdint>

#include "IUnknown.h"
#include "ResultCodes.h"

namespace MacATLCOM {

struct MapItem;

// A kind-4 entry's function: (object start, identifier, out pointer, the entry's value).
typedef HRESULT (*MapFunction)(void* object, const _IID& iid, void** out, uintptr_t value);
// A kind-1 entry's function: the base class's map.
typedef const MapItem* (*GetEntriesFunction)();

enum MapKind : uint16_t {
    kMapInterface = 0,  // the interface at object + offset answers the identifier
    kMapChain = 1,      // walk the base class's map with the object moved by offset
    kMapAggregate = 2,  // ask the inner object whose pointer sits at object + offset
    kMapRefuse = 3,     // answer "no such interface" at once
    kMapFunction = 4,   // call a function
    kMapEnd = 5,
};

struct MapItem {
    uint16_t kind;
    const _IID* iid;  // null for kinds 1, 2 and 4: any identifier
    union {
        intptr_t offset;       // kinds 0, 1, 2
        MapFunction function;  // kind 4
    };
    union {
        GetEntriesFunction chain;  // kind 1
        uintptr_t value;           // kind 4
    };

    static MapItem Interface(const _IID& iid, intptr_t offset);
    static MapItem Chain(const _IID* iid, intptr_t offset, GetEntriesFunction chain);
    static MapItem Aggregate(const _IID* iid, intptr_t offset);
    static MapItem Refuse(const _IID& iid);
    static MapItem Function(const _IID* iid, MapFunction function, uintptr_t value);
    static MapItem End();
};

// Answers iid from the map for the object that starts at object: 0 with a reference added,
// 0xF800400E for a null out pointer, 0xF800400D (and a null out pointer) otherwise. The first
// entry (an interface or a chain) gives the object's identity for IID_IUnknown.
HRESULT QueryInterfaceUsingMap(void* object, const MapItem* map, const _IID& iid, void** out);

// Offset of base B within C, and of a data member within C. Computed on an address that is
// never dereferenced, as the maps need them before any object exists.
template <class C, class B>
intptr_t BaseOffset()
{
    const uintptr_t probe = 0x1000;
    return reinterpret_cast<intptr_t>(static_cast<B*>(reinterpret_cast<C*>(probe))) - intptr_t(probe);
}

template <class C, class M>
intptr_t MemberOffset(M C::*member)
{
    const uintptr_t probe = 0x1000;
    return reinterpret_cast<intptr_t>(&(reinterpret_cast<C*>(probe)->*member)) - intptr_t(probe);
}

// The empty root of every map-driven class; its virtual destructor lets Release delete the
// most derived object.
class CComObjectRoot {
public:
    virtual ~CComObjectRoot() = default;
};

}  // namespace MacATLCOM

// Interface map of a class, written in its public section:
//   KVD_BEGIN_INTERFACE_MAP(MyDoc)
//       KVD_INTERFACE_ENTRY(IMyDoc)
//       KVD_INTERFACE_ENTRY_CHAIN(CAFDocument)
//   KVD_END_INTERFACE_MAP()
#define KVD_BEGIN_INTERFACE_MAP(Class)                              \
    static const MacATLCOM::MapItem* MacATLCOM_GetEntries()         \
    {                                                               \
        using KVDMapClass = Class;                                  \
        static const MacATLCOM::MapItem entries[] = {

// Interface I, answering its own identifier.
#define KVD_INTERFACE_ENTRY(I) \
    MacATLCOM::MapItem::Interface(IIDOf<I>(), MacATLCOM::BaseOffset<KVDMapClass, I>()),
// Identifier iid answered by the sub-object of interface I (e.g. IPersist by IPersistStreamInit).
#define KVD_INTERFACE_ENTRY_IID(iid, I) \
    MacATLCOM::MapItem::Interface(iid, MacATLCOM::BaseOffset<KVDMapClass, I>()),
// Every identifier of the base class's map.
#define KVD_INTERFACE_ENTRY_CHAIN(Base)                                                             \
    MacATLCOM::MapItem::Chain(nullptr, MacATLCOM::BaseOffset<KVDMapClass, Base>(), \
                              &Base::MacATLCOM_GetEntries),
// The inner object held in member (an IUnknown pointer) answers iid, or anything it knows.
#define KVD_INTERFACE_ENTRY_AGGREGATE(iid, member) \
    MacATLCOM::MapItem::Aggregate(&(iid), MacATLCOM::MemberOffset(&KVDMapClass::member)),
#define KVD_INTERFACE_ENTRY_AGGREGATE_BLIND(member) \
    MacATLCOM::MapItem::Aggregate(nullptr, MacATLCOM::MemberOffset(&KVDMapClass::member)),
#define KVD_INTERFACE_ENTRY_REFUSE(iid) MacATLCOM::MapItem::Refuse(iid),
#define KVD_INTERFACE_ENTRY_FUNC(iid, function, value) \
    MacATLCOM::MapItem::Function(&(iid), function, value),
#define KVD_INTERFACE_ENTRY_FUNC_BLIND(function, value) \
    MacATLCOM::MapItem::Function(nullptr, function, value),

#define KVD_END_INTERFACE_MAP()        \
    MacATLCOM::MapItem::End()          \
        };                             \
        return entries;                \
    }

// QueryInterface of a map-driven class: walks its map with the object's start.
#define KVD_IMPLEMENT_QUERYINTERFACE()                                                     \
    HRESULT QueryInterface(const _IID& iid, void** out) override                           \
    {                                                                                      \
        return MacATLCOM::QueryInterfaceUsingMap(this, MacATLCOM_GetEntries(), iid, out); \
    }
