// The host's set-channel-calculation message (type id of GUID_OrrelMsgObjs, 11): a plug-in
// fills it with a calculation type, a channel and settings, stores it in the settings registrar
// and sends it to its document; the document hands it to the host, which puts the calculation
// on the channel, or reconfigures the one there, with those settings.
#pragma once

#include "IChannelCalc.h"
#include "IFramework.h"
#include "IMessage.h"
#include "IPersistClassObject.h"
#include "IPersistObject.h"
#include "ISetChanCalcMsg.h"
#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"
#include "host/framework/SenderMarked.h"
#include "host/framework/ServiceClassObject.h"

namespace Host {

class Framework;

class SetChanCalcMsg final
    : public SenderMarked<KVD::detail::CountedUnknown<IMessage, ISetChanCalcMsg, IPersistObject>> {
public:
    static KVD::COMPtr<SetChanCalcMsg> Create();

    // The message carries no parameter block: the id is the class's type id.
    HRESULT GetId(TCAFId* id) const override;
    HRESULT GetFlags(uint32_t* flags) const override;
    HRESULT GetParamBlock(const void** block) const override;
    HRESULT GetViewId(uint64_t* viewId) const override;
    HRESULT GetKey(ISettingsRegistrarKey** key) const override;

    HRESULT SetChannelCalculation(TCAFId calcTypeId, int32_t channel, IPersistObject* settings) override;
    HRESULT GetChannelCalculation(TCAFId* calcTypeId, int32_t* channel, IPersistObject** settings) const override;

    // The calculation type, the channel, then the settings as a streamed object.
    HRESULT Read(IBinInStream* in) override;
    HRESULT Write(IBinOutStream* out) const override;
    HRESULT GetObjId(TCAFId* id) const override;

    static TCAFId TypeId();

private:
    SetChanCalcMsg() = default;
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);

    TCAFId mCalcTypeId = 0;
    int32_t mChannel = -1;
    KVD::COMPtr<IPersistObject> mSettings;
};

// Carries the message out on the document's calculations: the channel's calculation of that
// type is configured with the settings, or a new one of the type is put on the channel.
// KVD_E_BADSTATE when the message is incomplete or the type has no calculation class.
HRESULT ApplySetChanCalcMsg(const ISetChanCalcMsg& message, IOrrelSetCalcData* calculations);

// Makes the messages, new or read from a stream.
class SetChanCalcMsgClass final : public ServiceClassObject<IPersistClassObject, ICAFObjectCreator> {
public:
    // Registers the process's one instance with the framework's object factory.
    static void Register(Framework& framework);

    SetChanCalcMsgClass();

    HRESULT CreateObject(IUnknown* outer, const _IID& iid, IUnknown** out) override;
    HRESULT CreateStreamedObject(TCAFId id, IBinInStream* in, IUnknown** out) override;
    HRESULT CreateInstance(IUnknown* outer, const _IID& iid, void** out) override;
};

}  // namespace Host
