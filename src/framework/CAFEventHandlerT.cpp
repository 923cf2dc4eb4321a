#include "framework/CAFEventHandlerT.h"

#include "foundation/ClassObjectAccessor.h"

namespace {

ICAFEventMap* EventMap()
{
    return COMClassObjectAccessor<ICAFEventMap, &CLSID_CAFFrameWork>::Get();
}

}  // namespace

CAFEventHandlerT<true>::CAFEventHandlerT()
{
    EventMap();
}

CAFEventHandlerT<true>::~CAFEventHandlerT()
{
    if (ICAFEventMap* map = EventMap())
        map->RemoveObserver(AsObserver());
}

HRESULT CAFEventHandlerT<true>::Command(TCAFId id)
{
    return CAFEventHandlerBase::Command(id);
}

HRESULT CAFEventHandlerT<true>::CommandEnable(TCAFId id, ICAFCommandEnabler* enabler)
{
    return CAFEventHandlerBase::CommandEnable(id, enabler);
}

HRESULT CAFEventHandlerT<true>::OnCAFCommandEvent(TCAFId id, CAFEventType type, NSMenu* menu, int n)
{
    return CAFEventHandlerBase::OnCAFCommandEvent(id, type, menu, n);
}

HRESULT CAFEventHandlerT<true>::Notify(ISubject* subject, TCAFId event, uint32_t flags, void* data)
{
    return CAFEventHandlerBase::Notify(subject, event, flags, data);
}

HRESULT CAFEventHandlerT<true>::RegisterEvents(ISubject* subject)
{
    return CAFEventHandlerBase::RegisterEvents(AsObserver(), subject);
}

HRESULT CAFEventHandlerT<true>::DispatchKVDMessage(const IMessage* message)
{
    if (message == nullptr)
        return KVD_E_POINTER;
    if (!CanDispatch(message))
        return KVD_S_OK;
    if (CAFEventHandlerBase::DispatchKVDMessage(message) != KVD_S_OK)
        return KVD_S_FALSE;
    return CAFMessageHandler::DispatchKVDMessage(message);
}

HRESULT CAFEventHandlerT<true>::DispatchAndPropagateKVDMessage(const IMessage* message)
{
    return DispatchKVDMessage(message);
}
