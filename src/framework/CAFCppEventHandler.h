// The handler part of a view: its response tables and its message sender. The host reaches it
// only through the COM proxy attached to it, which is also what it observes subjects with.
#pragma once

#include "foundation/CIArray.h"
#include "framework/CAFEventHandlerBase.h"
#include "framework/CAFMessageSender.h"

class CAFProxyEventHandlerBase;

class CAFCppEventHandler : public CAFEventHandlerBase, public CAFMessageSender {
public:
    CAFCppEventHandler() = default;
    ~CAFCppEventHandler() override;

    // Attaches the proxy (detaching one attached before): the proxy forwards to this handler,
    // this sender sends to the proxy's default handler, and the subjects asked for before are
    // observed through it.
    void AttachProxy(CAFProxyEventHandlerBase& proxy);
    void DetachProxy();
    // Observes the subject through the proxy (now, or once one is attached).
    void ObserveEvents(ISubject* subject);

    CAFProxyEventHandlerBase* GetProxy() const { return mProxy; }
    unsigned GetPendingSubjectCount() const { return mSubjects.GetCount(); }

private:
    friend class CAFProxyEventHandlerBase;

    // The proxy is going away on its own: forget it without touching it.
    void ForgetProxy();

    CAFProxyEventHandlerBase* mProxy = nullptr;  // one reference, as its IObserver
    // The subject record holds no subject: nothing of it is ever deleted.
    CIArray<ISubject, CIArray_NeverCallDeleteAtRuntime<ISubject>> mSubjects{false};
};
