// Base of host objects that plug-in objects aggregate (the aggregated kind of IUnknown), and
// the maker that hands one out.
#pragma once

#include "IUnknown.h"
#include "ResultCodes.h"
#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"

namespace Host {

template <class... Is>
class Aggregated : public KVD::AggregatedUnknown<Is...> {
protected:
    using KVD::AggregatedUnknown<Is...>::AggregatedUnknown;
};

// Makes a T (an Aggregated made from its outer object) inside outer, or standing alone
// without one, and hands out its interface iid.
template <class T>
HRESULT CreateAggregated(IUnknown* outer, const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    // Aggregated, only the inner unknown can be handed out: the outer object keeps the object
    // alive through it.
    if (outer != nullptr && iid != IID_IUnknown)
        return KVD_E_NOINTERFACE;
    const auto inner = KVD::COMPtr<IUnknown>::Take((new T(outer))->TakeInner());
    return inner->QueryInterface(iid, out);
}

}  // namespace Host
