// The subject side of a host object whose observers the host's event map keeps: per subject,
// the observers and the events each has registered for. Base derives from ISubject once.
#pragma once

#include "ICAFEventMap.h"
#include "host/framework/FrameworkServices.h"

namespace Host {

template <class Base>
class EventMapSubject : public Base {
public:
    using Base::Base;

    HRESULT NotifyObservers(TCAFId event, void* data) override { return Map()->NotifyObservers(this, event, data); }
    HRESULT AttachObserver(IObserver* observer) override { return Map()->AttachObserver(this, observer); }
    HRESULT DetachObserver(IObserver* observer) override { return Map()->DetachObserver(this, observer); }
    HRESULT RegisterEvent(IObserver* observer, TCAFId event, uint32_t flags) override
    {
        return Map()->RegisterEvent(this, observer, event, flags);
    }

protected:
    // Drops every registration on this subject: the derived destructor calls it first, while
    // the object is still whole.
    void RemoveFromEventMap() { Map()->RemoveSubject(this); }

private:
    // The map lives as long as the host's framework services.
    static ICAFEventMap* Map() { return FrameworkServices::EventMap(); }
};

}  // namespace Host
