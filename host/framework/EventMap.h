// The host's event map: per subject, the observers attached to it and the events each has
// registered for. Delivery is synchronous; an observer (or subject) that goes away during a
// delivery is skipped from then on. The map holds no references: subjects and observers take
// themselves off when they go.
#pragma once

#include <mutex>
#include <vector>

#include "ICAFEventMap.h"
#include "foundation/UnknownImp.h"

namespace Host {

// Lives as long as the framework.
class EventMap final : public KVD::UncountedUnknown<ICAFEventMap> {
public:
    HRESULT AttachObserver(ISubject* subject, IObserver* observer) override;
    HRESULT DetachObserver(ISubject* subject, IObserver* observer) override;
    HRESULT NotifyObservers(ISubject* subject, TCAFId event, void* data) override;
    HRESULT UnregisterEvent(ISubject* subject, IObserver* observer, TCAFId event) override;
    HRESULT GetObserverCount(ISubject* subject, TCAFId event, uint32_t* count) override;
    HRESULT RegisterEvent(ISubject* subject, IObserver* observer, TCAFId event, uint32_t flags) override;
    HRESULT RemoveSubject(ISubject* subject) override;
    HRESULT RemoveObserver(IObserver* observer) override;

private:
    struct Registration {
        ISubject* subject;
        IObserver* observer;
        TCAFId event;
        uint32_t flags;
    };
    struct Attachment {
        ISubject* subject;
        IObserver* observer;
    };

    bool IsRegistered(ISubject* subject, IObserver* observer, TCAFId event) const;
    // Takes the attachments and registrations that match picks off the map (the lock held);
    // answers how many went.
    template <class Match>
    size_t EraseWhere(Match match);

    mutable std::mutex mLock;  // never held while an observer is called
    std::vector<Registration> mRegistrations;  // in registration order
    std::vector<Attachment> mAttachments;
};

}  // namespace Host
