#include "host/channels/ArithCalculationClass.h"

#include "ISetCalcFromString.h"
#include "foundation/DynamicId.h"
#include "host/channels/ArithCalculation.h"
#include "host/channels/ArithSettings.h"
#include "host/framework/Framework.h"

namespace Host {

void ArithCalculationClass::Register(Framework& framework)
{
    static ArithCalculationClass calculations(TypeIdClass<&GUID_ArithCalcId, 0>::GetId());
    static ArithSettingsClass settings(TypeIdClass<&GUID_ArithCalcId, 1>::GetId());
    framework.RegisterClassObject(static_cast<ICalculationClass*>(&calculations));
    framework.RegisterClassObject(static_cast<IGenericClassObject*>(&settings));
}

ArithCalculationClass::ArithCalculationClass(TCAFId typeId) : ServiceClassObject(typeId, L"Arithmetic") {}

HRESULT ArithCalculationClass::GetName(IAutoKVDString** name)
{
    return GetObjectName(name);
}

HRESULT ArithCalculationClass::GetDescription(IAutoKVDString** description)
{
    return GetObjectName(description);
}

HRESULT ArithCalculationClass::GetAttributes(long* attributes)
{
    if (attributes == nullptr)
        return KVD_E_POINTER;
    *attributes = 0;
    return KVD_S_OK;
}

HRESULT ArithCalculationClass::SettingsDialog(HWND, IUnknown*, IAutoOrrelDoc*, IOrrelView*, TChannelId,
                                              const IPersistObject*, IPersistObject** result)
{
    if (result != nullptr)
        *result = nullptr;
    return KVD_E_NOTIMPL;
}

HRESULT ArithCalculationClass::Create(TChannelId channel, IOrrelSetCalcData* data, ICalculation** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    if (data == nullptr)
        return KVD_E_BADSTATE;
    const auto calculation = KVD::MakeCounted<ArithCalculation>(this, channel, data);
    return calculation->QueryInterface(IID_ICalculation, reinterpret_cast<void**>(out));
}

ArithSettingsClass::ArithSettingsClass(TCAFId typeId) : CreatorClassObject(typeId, L"Arithmetic settings") {}

HRESULT ArithSettingsClass::CreateObject(IUnknown* outer, const _IID& iid, void** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    if (outer != nullptr)
        return KVD_E_NOINTERFACE;
    const auto settings = ArithSettings::Create();
    return settings->QueryInterface(iid, out);
}

}  // namespace Host
