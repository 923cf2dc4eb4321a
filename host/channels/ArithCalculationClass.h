// The class objects of the host's arithmetic calculation: the calculation class (type id of
// GUID_ArithCalcId, index 0) and the class that makes its settings (index 1).
#pragma once

#include "IChannelCalc.h"
#include "host/framework/ServiceClassObject.h"

namespace Host {

class Framework;

class ArithCalculationClass final : public ServiceClassObject<ICalculationClass> {
public:
    // Registers the process's one instance of both classes with the framework's object factory.
    static void Register(Framework& framework);

    explicit ArithCalculationClass(TCAFId typeId);

    HRESULT GetName(IAutoKVDString** name) override;
    HRESULT GetDescription(IAutoKVDString** description) override;
    HRESULT GetAttributes(long* attributes) override;
    // The host edits formulas itself: there is no dialog to show here.
    HRESULT SettingsDialog(HWND parent, IUnknown* context, IAutoOrrelDoc* doc, IOrrelView* view, TChannelId channel,
                           const IPersistObject* current, IPersistObject** result) override;
    HRESULT Create(TChannelId channel, IOrrelSetCalcData* data, ICalculation** out) override;
};

// The class of the calculation's settings, which the object factory's CreateObject makes.
class ArithSettingsClass final : public CreatorClassObject {
public:
    explicit ArithSettingsClass(TCAFId typeId);

    // Not aggregated.
    HRESULT CreateObject(IUnknown* outer, const _IID& iid, void** out) override;
};

}  // namespace Host
