#include "foundation/DynamicId.h"

namespace DynId {

IDynamicIdFactory* GetFactory()
{
    return COMClassObjectAccessor<IDynamicIdFactory, &CLSID_CAFFrameWork>::Get();
}

uint16_t Ask(const _IID& guid)
{
    uint16_t id = 0;
    if (IDynamicIdFactory* factory = GetFactory())
        factory->GetDynId(guid, &id);
    return id;
}

_IID GetGuid(unsigned short id)
{
    _IID guid{};
    if (IDynamicIdFactory* factory = GetFactory())
        factory->GetGuid(id, &guid);
    return guid;
}

TCAFId CachedTypeId(std::atomic<TCAFId>& cache, const _IID& guid, uint32_t subId)
{
    TCAFId id = cache.load(std::memory_order_acquire);
    if (id == 0) {
        const uint16_t dyn = Ask(guid);
        if (dyn == 0)
            return subId;  // ask again next time
        id = (TCAFId(dyn) << 16) | (subId & 0xFFFF);
        cache.store(id, std::memory_order_release);
    }
    return id;
}

}  // namespace DynId
