// The host's event map (answered by the framework object): per subject, its observers and the
// events each has registered for. Subjects that keep no lists of their own hand every call here.
#pragma once

#include "IObserver.h"

// 5E1BD5B2-183B-4184-8441-44240C2B4754
inline constexpr _IID IID_ICAFEventMap = {0x5E1BD5B2, 0x183B, 0x4184, {0x84, 0x41, 0x44, 0x24, 0x0C, 0x2B, 0x47, 0x54}};

struct ICAFEventMap : IUnknown {
    // Attaching asks the observer to register its events with the subject.
    virtual HRESULT AttachObserver(ISubject* subject, IObserver* observer) = 0;               // slot 3
    // Drops the observer and all its registrations with the subject; KVD_S_FALSE when unknown.
    virtual HRESULT DetachObserver(ISubject* subject, IObserver* observer) = 0;               // slot 4
    // Delivers the event, synchronously, to every observer registered for it on the subject.
    virtual HRESULT NotifyObservers(ISubject* subject, TCAFId event, void* data) = 0;         // slot 5
    // KVD_S_FALSE when the observer was not registered for the event.
    virtual HRESULT UnregisterEvent(ISubject* subject, IObserver* observer, TCAFId event) = 0;  // slot 6
    // How many observers are registered for the event on the subject.
    virtual HRESULT GetObserverCount(ISubject* subject, TCAFId event, uint32_t* count) = 0;   // slot 7
    virtual HRESULT RegisterEvent(ISubject* subject, IObserver* observer, TCAFId event, uint32_t flags) = 0;  // slot 8
    // The subject goes away: every registration on it is dropped.
    virtual HRESULT RemoveSubject(ISubject* subject) = 0;                                     // slot 9
    // The observer goes away: its registrations on every subject are dropped.
    virtual HRESULT RemoveObserver(IObserver* observer) = 0;                                  // slot 10
};

KVD_INTERFACE_ID(ICAFEventMap, IID_ICAFEventMap);
