#include "host/channels/SetChanCalcMsg.h"

#include "IBinInStream.h"
#include "IBinOutStream.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"
#include "host/framework/Framework.h"

namespace Host {

KVD::COMPtr<SetChanCalcMsg> SetChanCalcMsg::Create()
{
    return KVD::MakeCounted<SetChanCalcMsg>();
}

TCAFId SetChanCalcMsg::TypeId()
{
    return TypeIdClass<&GUID_OrrelMsgObjs, kOrrelMsgObj_SetChanCalc>::GetId();
}

HRESULT SetChanCalcMsg::GetId(TCAFId* id) const
{
    if (id == nullptr)
        return KVD_E_POINTER;
    *id = TypeId();
    return KVD_S_OK;
}

HRESULT SetChanCalcMsg::GetFlags(uint32_t* flags) const
{
    if (flags == nullptr)
        return KVD_E_POINTER;
    *flags = 0;
    return KVD_S_OK;
}

HRESULT SetChanCalcMsg::GetParamBlock(const void** block) const
{
    if (block == nullptr)
        return KVD_E_POINTER;
    *block = nullptr;
    return KVD_S_OK;
}

HRESULT SetChanCalcMsg::GetViewId(uint64_t* viewId) const
{
    if (viewId == nullptr)
        return KVD_E_POINTER;
    *viewId = 0;
    return KVD_S_OK;
}

HRESULT SetChanCalcMsg::GetKey(ISettingsRegistrarKey** key) const
{
    if (key == nullptr)
        return KVD_E_POINTER;
    *key = nullptr;
    return KVD_S_FALSE;
}

HRESULT SetChanCalcMsg::SetChannelCalculation(TCAFId calcTypeId, int32_t channel, IPersistObject* settings)
{
    mCalcTypeId = calcTypeId;
    mChannel = channel;
    mSettings = settings;
    return KVD_S_OK;
}

HRESULT SetChanCalcMsg::GetChannelCalculation(TCAFId* calcTypeId, int32_t* channel, IPersistObject** settings) const
{
    if (calcTypeId == nullptr || channel == nullptr || settings == nullptr)
        return KVD_E_POINTER;
    *calcTypeId = mCalcTypeId;
    *channel = mChannel;
    mSettings.GetOut(settings);
    return KVD_S_OK;
}

HRESULT SetChanCalcMsg::Read(IBinInStream* in)
{
    if (in == nullptr)
        return KVD_E_POINTER;
    TCAFId calcTypeId = 0;
    int32_t channel = -1;
    KVD::COMPtr<IPersistObject> settings;
    HRESULT hr = in->ReadCAFId(&calcTypeId);
    if (hr == KVD_S_OK)
        hr = in->ReadInt32(&channel);
    if (hr == KVD_S_OK)
        hr = in->ReadObjectAndQuery(IID_IPersistObject, settings.Set());
    if (hr != KVD_S_OK)
        return hr;
    return SetChannelCalculation(calcTypeId, channel, settings);
}

HRESULT SetChanCalcMsg::Write(IBinOutStream* out) const
{
    if (out == nullptr)
        return KVD_E_POINTER;
    HRESULT hr = out->WriteCAFId(mCalcTypeId);
    if (hr == KVD_S_OK)
        hr = out->WriteWord32(static_cast<uint32_t>(mChannel));
    if (hr == KVD_S_OK)
        hr = out->WriteObject(mSettings);
    return hr;
}

HRESULT SetChanCalcMsg::GetObjId(TCAFId* id) const
{
    return GetId(id);
}

HRESULT ApplySetChanCalcMsg(const ISetChanCalcMsg& message, IOrrelSetCalcData* calculations)
{
    TCAFId calcTypeId = 0;
    int32_t channel = -1;
    KVD::COMPtr<IPersistObject> settings;
    message.GetChannelCalculation(&calcTypeId, &channel, settings.Set());
    if (calculations == nullptr || settings == nullptr || channel < 0)
        return KVD_E_BADSTATE;

    KVD::COMPtr<ICalculation> current;
    calculations->GetCalculation(0xC000000000000000ull | uint32_t(channel), current.Set());
    KVD::COMPtr<ICalculationClass> currentClass;
    if (current != nullptr)
        current->GetCalculationClass(currentClass.Set());
    TCAFId currentType = 0;
    if (currentClass != nullptr)
        currentClass->GetTypeId(&currentType);
    if (current != nullptr && currentType == calcTypeId)
        return current->Configure(settings, kAutoFalse);

    KVD::COMPtr<ICalculationClass> cls;
    ObjectFactoryAccessor::Get()->GetClassObject(calcTypeId, IID_ICalculationClass, cls.Set());
    KVD::COMPtr<ICalculation> calculation;
    if (cls != nullptr)
        cls->Create(TChannelId{channel, 0}, calculations, calculation.Set());
    if (calculation == nullptr)
        return KVD_E_BADSTATE;
    const HRESULT hr = calculation->Configure(settings, kAutoTrue);
    if (hr != KVD_S_OK)
        return hr;
    return calculations->SetCalculation(TChannelId{channel, 0}, calculation);
}

void SetChanCalcMsgClass::Register(Framework& framework)
{
    static SetChanCalcMsgClass messages;
    framework.RegisterClassObject(static_cast<IPersistClassObject*>(&messages));
}

SetChanCalcMsgClass::SetChanCalcMsgClass() : ServiceClassObject(SetChanCalcMsg::TypeId(), L"Set channel calculation") {}

HRESULT SetChanCalcMsgClass::CreateObject(IUnknown*, const _IID& iid, IUnknown** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    *out = nullptr;
    const KVD::COMPtr<SetChanCalcMsg> message = SetChanCalcMsg::Create();
    return message->QueryInterface(iid, reinterpret_cast<void**>(out));
}

HRESULT SetChanCalcMsgClass::CreateStreamedObject(TCAFId, IBinInStream* in, IUnknown** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    const KVD::COMPtr<SetChanCalcMsg> message = SetChanCalcMsg::Create();
    KVD::GiveOut(static_cast<IMessage*>(message.get()), out);
    return message->Read(in);
}

HRESULT SetChanCalcMsgClass::CreateInstance(IUnknown* outer, const _IID& iid, void** out)
{
    return CreateObject(outer, iid, reinterpret_cast<IUnknown**>(out));
}

}  // namespace Host
