// The single entry into the host: the function KVDGetClassObject that the host program exports.
#pragma once

#include "IFramework.h"

namespace KVD {

// Asks the host for a class object. out is nulled first; without a host entry, or when the
// host hands back nothing, the call fails and callers treat the service as absent.
HRESULT GetClassObject(const _IID& clsid, const _IID& iid, void** out);

// Replaces the entry found in the main program (null: look it up again). For tests that must
// run without a host, or with a host that answers differently.
void OverrideHostEntry(KVDGetClassObjectFn entry);

}  // namespace KVD
