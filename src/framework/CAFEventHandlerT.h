// The handler side of objects that are COM objects themselves (documents, document classes,
// print jobs, persist tasks): the host's command-handler and observer interfaces, the response
// tables and a node of the message tree in one. AddRef, Release and QueryInterface are the
// concrete class's.
#pragma once

#include "ICAFEventMap.h"
#include "framework/CAFEventHandlerBase.h"
#include "framework/CAFMessageHandler.h"

template <bool IsCOMObject>
class CAFEventHandlerT;

template <>
class CAFEventHandlerT<true> : public ICAFCommandHandler,
                               public IObserver,
                               public CAFEventHandlerBase,
                               public CAFMessageHandler {
public:
    // Obtains the host's event map now, so that it is at hand before the first event.
    CAFEventHandlerT();
    // Takes this observer off the host's event map.
    ~CAFEventHandlerT() override;

    HRESULT Command(TCAFId id) override;
    HRESULT CommandEnable(TCAFId id, ICAFCommandEnabler* enabler) override;
    HRESULT OnCAFCommandEvent(TCAFId id, CAFEventType type, NSMenu* menu, int n) override;
    HRESULT Notify(ISubject* subject, TCAFId event, uint32_t flags, void* data) override;
    HRESULT RegisterEvents(ISubject* subject) override;
    // The own tables, then the child handlers; a handler that stops the message ends it.
    HRESULT DispatchKVDMessage(const IMessage* message) override;
    HRESULT DispatchAndPropagateKVDMessage(const IMessage* message) override;

    IObserver* AsObserver() { return this; }
};

using CAFEventHandler = CAFEventHandlerT<true>;
