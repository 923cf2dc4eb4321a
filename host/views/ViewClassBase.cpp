#include "host/views/ViewClassBase.h"

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
    KVD::GiveOut(mActive, view);
    return mActive == nullptr ? KVD_S_FALSE : KVD_S_OK;
}

ViewClassBaseClass::ViewClassBaseClass() : ServiceClassObject(kTypeId_ViewClassBase, L"View class base") {}

HRESULT ViewClassBaseClass::CreateObject(IUnknown* outer, const _IID& iid, void** out)
{
    return CreateAggregated<ViewClassBase>(outer, iid, out);
}

}  // namespace Host
