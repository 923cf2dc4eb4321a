// Ids made at run time from GUIDs: the host's 16-bit dynamic id of a GUID in the high half and
// an index in the low half. A dynamic id of 0 means the host gave none; no cache keeps an id
// made from it, so a host that answers later is asked again.
#pragma once

#include <atomic>

#include "IFramework.h"
#include "foundation/ClassObjectAccessor.h"

namespace DynId {

IDynamicIdFactory* GetFactory();

// The host's dynamic id of the GUID, or 0 when there is no host or it gave none.
uint16_t Ask(const _IID& guid);

// The GUID that the host gave the dynamic id (all zero when the host does not know it).
_IID GetGuid(unsigned short id);

// The GUID's dynamic id shifted left by 16, or'ed with the low 16 bits of subId, kept in cache
// once the host has given one; without it, subId alone.
TCAFId CachedTypeId(std::atomic<TCAFId>& cache, const _IID& guid, uint32_t subId);

}  // namespace DynId

template <const _IID* Guid>
struct CachedDynamicId {
    static uint16_t GetDynId()
    {
        uint16_t id = sId.load(std::memory_order_acquire);
        if (id == 0) {
            id = DynId::Ask(*Guid);
            sId.store(id, std::memory_order_release);
        }
        return id;
    }

private:
    static inline std::atomic<uint16_t> sId{0};
};

template <const _IID* Guid, unsigned N>
struct TypeIdClass {
    static TCAFId GetId()
    {
        TCAFId id = sId.load(std::memory_order_acquire);
        if (id == 0) {
            const uint16_t dyn = CachedDynamicId<Guid>::GetDynId();
            if (dyn == 0)
                return N;
            id = (TCAFId(dyn) << 16) | N;
            sId.store(id, std::memory_order_release);
        }
        return id;
    }

private:
    static inline std::atomic<TCAFId> sId{0};
};

// Ids of objects, commands, messages and events are composed alike.
template <const _IID* Guid, unsigned N>
struct EventIdClass {
    static TCAFId GetId() { return TypeIdClass<Guid, N>::GetId(); }
};
template <const _IID* Guid, unsigned N>
using CAFIdClass = EventIdClass<Guid, N>;
template <const _IID* Guid, unsigned N>
using CmdIdClass = EventIdClass<Guid, N>;
template <const _IID* Guid, unsigned N>
using MsgIdClass = EventIdClass<Guid, N>;

// A fixed framework id (bit 31 set), usable where a type-id class is expected.
template <TCAFId Id>
struct StaticTypeIdClass {
    static constexpr TCAFId GetId() { return Id; }
};
