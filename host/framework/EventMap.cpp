#include "host/framework/EventMap.h"

#include <algorithm>

#include "ResultCodes.h"
#include "foundation/COMPtr.h"

namespace Host {

template <class Match>
size_t EventMap::EraseWhere(Match match)
{
    const size_t before = mAttachments.size() + mRegistrations.size();
    mAttachments.erase(std::remove_if(mAttachments.begin(), mAttachments.end(), match), mAttachments.end());
    mRegistrations.erase(std::remove_if(mRegistrations.begin(), mRegistrations.end(), match), mRegistrations.end());
    return before - mAttachments.size() - mRegistrations.size();
}

HRESULT EventMap::AttachObserver(ISubject* subject, IObserver* observer)
{
    if (subject == nullptr || observer == nullptr)
        return KVD_E_POINTER;
    {
        std::lock_guard<std::mutex> guard(mLock);
        const bool known = std::any_of(mAttachments.begin(), mAttachments.end(), [&](const Attachment& a) {
            return a.subject == subject && a.observer == observer;
        });
        if (!known)
            mAttachments.push_back({subject, observer});
    }
    // The observer registers its events with the subject, which hands them back here.
    return observer->RegisterEvents(subject) == KVD_S_OK ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT EventMap::DetachObserver(ISubject* subject, IObserver* observer)
{
    std::lock_guard<std::mutex> guard(mLock);
    const size_t erased = EraseWhere([&](const auto& e) { return e.subject == subject && e.observer == observer; });
    return erased > 0 ? KVD_S_OK : KVD_S_FALSE;
}

bool EventMap::IsRegistered(ISubject* subject, IObserver* observer, TCAFId event) const
{
    return std::any_of(mRegistrations.begin(), mRegistrations.end(), [&](const Registration& r) {
        return r.subject == subject && r.observer == observer && r.event == event;
    });
}

HRESULT EventMap::NotifyObservers(ISubject* subject, TCAFId event, void* data)
{
    std::vector<IObserver*> observers;
    {
        std::lock_guard<std::mutex> guard(mLock);
        for (const Registration& r : mRegistrations)
            if (r.subject == subject && r.event == event)
                observers.push_back(r.observer);
    }
    for (IObserver* observer : observers) {
        {
            // Still registered means still alive: observers take themselves off when they go.
            std::lock_guard<std::mutex> guard(mLock);
            if (!IsRegistered(subject, observer, event))
                continue;
        }
        const KVD::COMPtr<IObserver> alive(observer);
        observer->Notify(subject, event, 0, data);
    }
    return KVD_S_OK;
}

HRESULT EventMap::UnregisterEvent(ISubject* subject, IObserver* observer, TCAFId event)
{
    std::lock_guard<std::mutex> guard(mLock);
    auto it = std::find_if(mRegistrations.begin(), mRegistrations.end(), [&](const Registration& r) {
        return r.subject == subject && r.observer == observer && r.event == event;
    });
    if (it == mRegistrations.end())
        return KVD_S_FALSE;
    mRegistrations.erase(it);
    return KVD_S_OK;
}

HRESULT EventMap::GetObserverCount(ISubject* subject, TCAFId event, uint32_t* count)
{
    if (count == nullptr)
        return KVD_E_POINTER;
    std::lock_guard<std::mutex> guard(mLock);
    *count = static_cast<uint32_t>(std::count_if(mRegistrations.begin(), mRegistrations.end(), [&](const Registration& r) {
        return r.subject == subject && r.event == event;
    }));
    return KVD_S_OK;
}

HRESULT EventMap::RegisterEvent(ISubject* subject, IObserver* observer, TCAFId event, uint32_t flags)
{
    if (subject == nullptr || observer == nullptr)
        return KVD_E_POINTER;
    std::lock_guard<std::mutex> guard(mLock);
    for (Registration& r : mRegistrations) {
        if (r.subject == subject && r.observer == observer && r.event == event) {
            r.flags = flags;
            return KVD_S_OK;
        }
    }
    mRegistrations.push_back({subject, observer, event, flags});
    return KVD_S_OK;
}

HRESULT EventMap::RemoveSubject(ISubject* subject)
{
    std::lock_guard<std::mutex> guard(mLock);
    EraseWhere([&](const auto& e) { return e.subject == subject; });
    return KVD_S_OK;
}

HRESULT EventMap::RemoveObserver(IObserver* observer)
{
    std::lock_guard<std::mutex> guard(mLock);
    EraseWhere([&](const auto& e) { return e.observer == observer; });
    return KVD_S_OK;
}

}  // namespace Host
