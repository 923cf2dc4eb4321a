// Views are plain objects (CAFCppEventHandler) that the host never sees: the host talks to a
// COM proxy that forwards every call to the view attached to it. Without an attached view (not
// made yet, or gone) the proxy answers without calling into anything.
#pragma once

#include "ICAFCommandHandler.h"
#include "IObserver.h"
#include "foundation/InterfaceMap.h"
#include "foundation/RefCount.h"
#include "foundation/UnknownImp.h"
#include "framework/CAFMessageHandler.h"

class CAFCppEventHandler;

class CAFProxyEventHandlerBase : public ICAFCommandHandler, public IObserver, public CAFMessageHandler {
public:
    // Detaches the view, then takes this observer off the host's event map.
    ~CAFProxyEventHandlerBase() override;

    HRESULT Command(TCAFId id) override;
    HRESULT CommandEnable(TCAFId id, ICAFCommandEnabler* enabler) override;
    HRESULT OnCAFCommandEvent(TCAFId id, CAFEventType type, NSMenu* menu, int n) override;
    HRESULT Notify(ISubject* subject, TCAFId event, uint32_t flags, void* data) override;
    // KVD_S_FALSE without an attached view.
    HRESULT RegisterEvents(ISubject* subject) override;
    // The view's tables, then the proxy's child handlers.
    HRESULT DispatchKVDMessage(const IMessage* message) override;

    void AttachEventHandler(CAFCppEventHandler& handler);
    CAFCppEventHandler* GetAttachedHandler() const { return mHandler; }
    IObserver* AsObserver() { return this; }

private:
    friend class CAFCppEventHandler;
    CAFCppEventHandler* mHandler = nullptr;  // not owned
};

class CAFProxyEventHandler : public CAFProxyEventHandlerBase, public KVD::CComObjectRoot {
public:
    KVD_BEGIN_INTERFACE_MAP(CAFProxyEventHandler)
        KVD_INTERFACE_ENTRY(ICAFCommandHandler)
        KVD_INTERFACE_ENTRY(IObserver)
        KVD_INTERFACE_ENTRY(IMessageHandler)
    KVD_END_INTERFACE_MAP()

    KVD_IMPLEMENT_HEAP_REFCOUNT()
    KVD_IMPLEMENT_QUERYINTERFACE()
};
