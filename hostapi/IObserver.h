// Observer events: a subject notifies the observers that registered for an event. Subjects hand
// their bookkeeping to the host's event map (ICAFEventMap).
#pragma once

#include "IUnknown.h"

struct ISubject;

// 1BDFC41B-DE06-4735-AE24-D73C2FB4245E
inline constexpr _IID IID_IObserver = {0x1BDFC41B, 0xDE06, 0x4735, {0xAE, 0x24, 0xD7, 0x3C, 0x2F, 0xB4, 0x24, 0x5E}};
// 5A3978D7-8283-4801-AE09-A128E3667C9A
inline constexpr _IID IID_ISubject = {0x5A3978D7, 0x8283, 0x4801, {0xAE, 0x09, 0xA1, 0x28, 0xE3, 0x66, 0x7C, 0x9A}};

struct IObserver : IUnknown {
    // data: the event's arguments, an array of 64-bit slots (values or pointers); may be null.
    virtual HRESULT Notify(ISubject* subject, TCAFId event, uint32_t flags, void* data) = 0;  // slot 3
    // Registers, with the subject, every event this observer wants from it.
    virtual HRESULT RegisterEvents(ISubject* subject) = 0;                                   // slot 4
};

struct ISubject : IUnknown {
    virtual HRESULT NotifyObservers(TCAFId event, void* data) = 0;                            // slot 3
    virtual HRESULT AttachObserver(IObserver* observer) = 0;                                  // slot 4
    virtual HRESULT DetachObserver(IObserver* observer) = 0;                                  // slot 5
    virtual HRESULT RegisterEvent(IObserver* observer, TCAFId event, uint32_t flags) = 0;     // slot 6
};

KVD_INTERFACE_ID(IObserver, IID_IObserver);
KVD_INTERFACE_ID(ISubject, IID_ISubject);
