#include "foundation/InterfaceMap.h"

namespace MacATLCOM {

namespace {

MapItem Make(MapKind kind, const _IID* iid)
{
    MapItem item{};
    item.kind = kind;
    item.iid = iid;
    return item;
}

}  // namespace

MapItem MapItem::Interface(const _IID& iid, intptr_t offset)
{
    MapItem item = Make(kMapInterface, &iid);
    item.offset = offset;
    return item;
}

MapItem MapItem::Chain(const _IID* iid, intptr_t offset, GetEntriesFunction chain)
{
    MapItem item = Make(kMapChain, iid);
    item.offset = offset;
    item.chain = chain;
    return item;
}

MapItem MapItem::Aggregate(const _IID* iid, intptr_t offset)
{
    MapItem item = Make(kMapAggregate, iid);
    item.offset = offset;
    return item;
}

MapItem MapItem::Refuse(const _IID& iid) { return Make(kMapRefuse, &iid); }

MapItem MapItem::Function(const _IID* iid, MapFunction function, uintptr_t value)
{
    MapItem item = Make(kMapFunction, iid);
    item.function = function;
    item.value = value;
    return item;
}

MapItem MapItem::End() { return Make(kMapEnd, nullptr); }

namespace {

void* Offset(void* object, intptr_t offset) { return static_cast<char*>(object) + offset; }

bool Matches(const MapItem& item, const _IID& iid) { return item.iid == nullptr || *item.iid == iid; }

// The identity of the object: the first entry's interface, or the chained base's identity.
HRESULT AnswerIdentity(void* object, const MapItem& first, void** out)
{
    if (first.kind == kMapChain)
        return QueryInterfaceUsingMap(Offset(object, first.offset), first.chain(), IID_IUnknown, out);
    if (first.kind != kMapInterface)
        return KVD_E_NOINTERFACE;
    IUnknown* identity = static_cast<IUnknown*>(Offset(object, first.offset));
    identity->AddRef();
    *out = identity;
    return KVD_S_OK;
}

// Whether a delegated answer ends the walk: a success does, and so does any answer to an
// entry that named the identifier; a blind entry that failed lets the walk go on.
bool EndsWalk(const MapItem& item, HRESULT hr) { return KVDSucceeded(hr) || item.iid != nullptr; }

IUnknown* InnerOf(void* object, const MapItem& item)
{
    return *static_cast<IUnknown**>(Offset(object, item.offset));
}

HRESULT Delegate(void* object, const MapItem& item, const _IID& iid, void** out)
{
    switch (item.kind) {
    case kMapChain:
        return QueryInterfaceUsingMap(Offset(object, item.offset), item.chain(), iid, out);
    case kMapAggregate:
        return InnerOf(object, item)->QueryInterface(iid, out);
    default:
        return item.function(object, iid, out, item.value);
    }
}

// Whether the entry answers iid; its answer goes to hr.
bool AnswerEntry(void* object, const MapItem& item, const _IID& iid, void** out, HRESULT* hr)
{
    switch (item.kind) {
    case kMapInterface:
        if (*item.iid != iid)
            return false;
        *out = Offset(object, item.offset);
        static_cast<IUnknown*>(*out)->AddRef();
        *hr = KVD_S_OK;
        return true;
    case kMapRefuse:
        *hr = KVD_E_NOINTERFACE;
        return *item.iid == iid;
    case kMapChain:
    case kMapAggregate:
    case kMapFunction:
        // An aggregate whose inner object is not there yet does not answer.
        if (!Matches(item, iid) || (item.kind == kMapAggregate && InnerOf(object, item) == nullptr))
            return false;
        *hr = Delegate(object, item, iid, out);
        return EndsWalk(item, *hr);
    default:
        return false;
    }
}

HRESULT Walk(void* object, const MapItem* map, const _IID& iid, void** out)
{
    if (iid == IID_IUnknown)
        return AnswerIdentity(object, map[0], out);
    for (const MapItem* item = map; item->kind != kMapEnd; ++item) {
        HRESULT hr = KVD_E_NOINTERFACE;
        if (AnswerEntry(object, *item, iid, out, &hr))
            return hr;
        // A delegate that failed yet wrote an answer ends the walk.
        if (*out != nullptr)
            return KVD_E_NOINTERFACE;
    }
    return KVD_E_NOINTERFACE;
}

}  // namespace

HRESULT QueryInterfaceUsingMap(void* object, const MapItem* map, const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    if (map[0].kind == kMapEnd)
        return KVD_E_NOINTERFACE;
    const HRESULT hr = Walk(object, map, iid, out);
    // A refusal always leaves the caller a null pointer, whatever a delegate wrote.
    if (!KVDSucceeded(hr))
        *out = nullptr;
    return hr;
}

}  // namespace MacATLCOM
