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

}  // namespace DynId
