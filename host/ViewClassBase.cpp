#include "host/ViewClassBase.h"

#include "FrameworkIds.h"

namespace Host {

HRESULT ViewClassBase::OnClassRegistered(IUnknown*)
{
    mRegistered = true;
    return KVD_S_OK;
}

HRESULT ViewClassBase::ViewActivated(IDocView* view)
{
    mActive = view;
    return KVD_S_OK;
}

HRESULT ViewClassBase::GetActiveView(IDocView** view)
{
    if (view == nullptr)
        return KVD_E_POINTER;
    *view = mActive;
    if (mActive == nullptr)
        return KVD_S_FALSE;
    mActive->AddRef();
    return KVD_S_OK;
}

ViewClassBaseClass::ViewClassBaseClass() : ServiceClassObject(kTypeId_ViewClassBase, L"View class base") {}

HRESULT ViewClassBaseClass::CreateObject(IUnknown* outer, const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    // Aggregated, only the inner unknown can be handed out: the outer object keeps the base
    // alive through it.
    if (outer != nullptr && iid != IID_IUnknown)
        return KVD_E_NOINTERFACE;
    IUnknown* inner = (new ViewClassBase(outer))->TakeInner();
    const HRESULT hr = inner->QueryInterface(iid, out);
    inner->Release();
    return hr;
}

}  // namespace Host
