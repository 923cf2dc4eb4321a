// A subject that keeps no observer lists of its own: every call goes to the host's event map,
// which keeps, per subject, the observers and the events each has registered for. AddRef,
// Release and QueryInterface are the derived class's.
#pragma once

#include "ICAFEventMap.h"
#include "ResultCodes.h"

class CAFSubject : public ISubject {
public:
    HRESULT NotifyObservers(TCAFId event, void* data) override;
    HRESULT AttachObserver(IObserver* observer) override;
    HRESULT DetachObserver(IObserver* observer) override;
    HRESULT RegisterEvent(IObserver* observer, TCAFId event, uint32_t flags) override;
    // Drops every registration on this subject from the event map.
    virtual ~CAFSubject();
};
