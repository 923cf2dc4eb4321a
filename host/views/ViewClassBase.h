// The host's view-class base, which a plug-in view class aggregates (made by the generic class
// object of fixed type id 0x8000000F): it learns of the class's registration and of its views
// being activated.
#pragma once

#include "IDocView.h"
#include "foundation/COMPtr.h"
#include "host/framework/Aggregated.h"
#include "host/framework/ServiceClassObject.h"

namespace Host {

class ViewClassBase final : public Aggregated<IViewClassAggBase> {
public:
    explicit ViewClassBase(IUnknown* outer) : Aggregated(outer) {}

    HRESULT OnClassRegistered(IUnknown* docClass) override;
    HRESULT ViewActivated(IDocView* view) override;
    HRESULT GetActiveView(IDocView** view) override;

    bool IsRegistered() const { return mRegistered; }

private:
    bool mRegistered = false;
    IDocView* mActive = nullptr;  // views tell the document when they go; this one only points
};

class ViewClassBaseClass final : public ServiceClassObject<IGenericClassObject> {
public:
    ViewClassBaseClass();
    // A new base; aggregated under outer only as its inner unknown (iid IID_IUnknown).
    HRESULT CreateObject(IUnknown* outer, const _IID& iid, void** out) override;
};

}  // namespace Host
