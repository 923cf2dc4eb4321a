#include "framework/CAFProxyEventHandler.h"

#include "FrameworkIds.h"
#include "ICAFEventMap.h"
#include "foundation/ClassObjectAccessor.h"
#include "framework/CAFCppEventHandler.h"

CAFProxyEventHandlerBase::~CAFProxyEventHandlerBase()
{
    if (CAFCppEventHandler* handler = std::exchange(mHandler, nullptr))
        handler->ForgetProxy();
    if (ICAFEventMap* map = COMClassObjectAccessor<ICAFEventMap, &CLSID_CAFFrameWork>::Get())
        map->RemoveObserver(AsObserver());
}

HRESULT CAFProxyEventHandlerBase::Command(TCAFId id)
{
    return mHandler == nullptr ? KVD_S_OK : mHandler->Command(id);
}

HRESULT CAFProxyEventHandlerBase::CommandEnable(TCAFId id, ICAFCommandEnabler* enabler)
{
    return mHandler == nullptr ? KVD_S_OK : mHandler->CommandEnable(id, enabler);
}

HRESULT CAFProxyEventHandlerBase::OnCAFCommandEvent(TCAFId id, CAFEventType type, NSMenu* menu, int n)
{
    return mHandler == nullptr ? KVD_S_OK : mHandler->OnCAFCommandEvent(id, type, menu, n);
}

HRESULT CAFProxyEventHandlerBase::Notify(ISubject* subject, TCAFId event, uint32_t flags, void* data)
{
    if (mHandler != nullptr)
        mHandler->Notify(subject, event, flags, data);
    return KVD_S_OK;
}

HRESULT CAFProxyEventHandlerBase::RegisterEvents(ISubject* subject)
{
    if (mHandler == nullptr)
        return KVD_S_FALSE;
    mHandler->RegisterEvents(AsObserver(), subject);
    return KVD_S_OK;
}

HRESULT CAFProxyEventHandlerBase::DispatchKVDMessage(const IMessage* message)
{
    if (message == nullptr)
        return KVD_E_POINTER;
    if (!CanDispatch(message))
        return KVD_S_OK;
    if (mHandler != nullptr) {
        uint32_t flags = 0;
        message->GetFlags(&flags);
        AutoBool fromView = kAutoFalse;
        if ((flags & kMsgFlag_NotToSender) != 0 && message->IsSender(mHandler->SenderMark(), &fromView) == KVD_S_OK &&
            fromView != kAutoFalse)
            return KVD_S_OK;
        if (mHandler->CAFEventHandlerBase::DispatchKVDMessage(message) == KVD_S_FALSE)
            return KVD_S_FALSE;
    }
    return CAFMessageHandler::DispatchKVDMessage(message);
}

void CAFProxyEventHandlerBase::AttachEventHandler(CAFCppEventHandler& handler)
{
    handler.AttachProxy(*this);
}
