#include "foundation/HostEntry.h"

#include <atomic>
#include <dlfcn.h>

#include "ResultCodes.h"

namespace KVD {
namespace {

std::atomic<KVDGetClassObjectFn> gEntry{nullptr};
std::atomic<bool> gOverridden{false};

// The host exports its entry from the main program, which dlopen(nullptr) names. Two threads
// may both look it up; both store the same address.
KVDGetClassObjectFn FindEntry()
{
    KVDGetClassObjectFn entry = gEntry.load();
    if (entry != nullptr || gOverridden.load())
        return entry;
    void* self = dlopen(nullptr, RTLD_NOW);
    if (self != nullptr) {
        entry = reinterpret_cast<KVDGetClassObjectFn>(dlsym(self, "KVDGetClassObject"));
        dlclose(self);
    }
    gEntry.store(entry);
    return entry;
}

}  // namespace

HRESULT GetClassObject(const _IID& clsid, const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;  // what comes back is judged by what the host wrote
    KVDGetClassObjectFn entry = FindEntry();
    if (entry == nullptr)
        return KVD_E_BADSTATE;
    const HRESULT hr = entry(clsid, iid, out);
    // A host that hands back nothing has failed, whatever code it returned.
    return *out == nullptr ? (hr != KVD_S_OK ? hr : KVD_E_BADSTATE) : hr;
}

void OverrideHostEntry(KVDGetClassObjectFn entry)
{
    gOverridden.store(entry != nullptr);
    gEntry.store(entry);
}

}  // namespace KVD
