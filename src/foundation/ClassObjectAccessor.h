// Lazily cached host class objects. The host keeps its class objects alive for the life of the
// process, so the cache holds a borrowed pointer. A host that supplied nothing is asked again.
#pragma once

#include <atomic>
#include <mutex>

#include <oneapi/tbb/mutex.h>

#include "IFramework.h"
#include "foundation/COMPtr.h"
#include "foundation/HostEntry.h"

namespace KVD {
namespace detail {

// Double-checked fill of one cache: the unlocked read is the fast path.
template <class I, class Fill>
I* CachedGet(std::atomic<I*>& cache, tbb::mutex& lock, Fill fill)
{
    if (I* cached = cache.load(std::memory_order_acquire))
        return cached;
    std::lock_guard<tbb::mutex> guard(lock);
    if (cache.load(std::memory_order_relaxed) == nullptr) {
        KVD::COMPtr<I, KVD::COMWeak> obtained;
        fill(static_cast<void**>(obtained.Set()));
        if (obtained != nullptr)
            cache.store(obtained.get(), std::memory_order_release);
    }
    return cache.load(std::memory_order_relaxed);
}

}  // namespace detail

}  // namespace KVD

template <class I, const _IID* Clsid>
struct COMClassObjectAccessor {
    static I* Get()
    {
        static tbb::mutex lock;
        return KVD::detail::CachedGet<I>(sCache, lock, [](void** out) {
            KVD::GetClassObject(*Clsid, IIDOf<I>(), out);
        });
    }

private:
    static inline std::atomic<I*> sCache{nullptr};
};

using ObjectFactoryAccessor = COMClassObjectAccessor<IObjectFactory, &CLSID_CAFFrameWork>;

// A host class object found through the object factory by the type id TypeId::GetId().
template <class I, class TypeId>
struct ObjectFactoryClassObjectAccessor {
    static I* Get()
    {
        static tbb::mutex lock;
        return KVD::detail::CachedGet<I>(sCache, lock, [](void** out) {
            if (IObjectFactory* factory = ObjectFactoryAccessor::Get())
                factory->GetClassObject(TypeId::GetId(), IIDOf<I>(), out);
        });
    }

private:
    static inline std::atomic<I*> sCache{nullptr};
};
