// The class objects of the host's arithmetic calculation: the calculation class (type id of
// GUID_ArithCalcId, index 0) and the class that makes its settings (index 1).
#pragma once

#include "IChannelCalc.h"
#include "IDocView.h"
#include "host/ServiceClassObject.h"

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

// Found through the object factory's CreateObject, which asks class objects for
// ICAFObjectCreator.
class ArithSettingsClass final : public ServiceClassObject<IGenericClassObject>, public ICAFObjectCreator {
public:
    explicit ArithSettingsClass(TCAFId typeId);

    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT QueryInterface(const _IID& iid, void** out) override;

    HRESULT CreateObject(IUnknown* outer, const _IID& iid, void** out) override;
    HRESULT CreateInstance(IUnknown* outer, const _IID& iid, void** out) override;
};

}  // namespace Host
