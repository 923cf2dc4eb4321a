#include "framework/CAFSubject.h"

#include "FrameworkIds.h"
#include "foundation/ClassObjectAccessor.h"

namespace {

ICAFEventMap* EventMap()
{
    return COMClassObjectAccessor<ICAFEventMap, &CLSID_CAFFrameWork>::Get();
}

}  // namespace

HRESULT CAFSubject::NotifyObservers(TCAFId event, void* data)
{
    ICAFEventMap* map = EventMap();
    return map == nullptr ? KVD_E_BADSTATE : map->NotifyObservers(this, event, data);
}

HRESULT CAFSubject::AttachObserver(IObserver* observer)
{
    ICAFEventMap* map = EventMap();
    return map == nullptr ? KVD_E_BADSTATE : map->AttachObserver(this, observer);
}

HRESULT CAFSubject::DetachObserver(IObserver* observer)
{
    ICAFEventMap* map = EventMap();
    return map == nullptr ? KVD_E_BADSTATE : map->DetachObserver(this, observer);
}

HRESULT CAFSubject::RegisterEvent(IObserver* observer, TCAFId event, uint32_t flags)
{
    ICAFEventMap* map = EventMap();
    return map == nullptr ? KVD_E_BADSTATE : map->RegisterEvent(this, observer, event, flags);
}

CAFSubject::~CAFSubject()
{
    if (ICAFEventMap* map = EventMap())
        map->RemoveSubject(this);
}
