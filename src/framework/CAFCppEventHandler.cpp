#include "framework/CAFCppEventHandler.h"

#include <utility>
#include <vector>

#include "framework/CAFProxyEventHandler.h"

CAFCppEventHandler::~CAFCppEventHandler()
{
    DetachProxy();
}

void CAFCppEventHandler::AttachProxy(CAFProxyEventHandlerBase& proxy)
{
    DetachProxy();
    proxy.AsObserver()->AddRef();
    mProxy = &proxy;
    proxy.mHandler = this;
    KVD::COMPtr<IMessageHandler> destination;
    proxy.GetDefaultHandler(destination.Set());
    SetDestination(destination, true);
    const std::vector<void*> pending(mSubjects.begin(), mSubjects.end());
    for (void* subject : pending)
        ObserveEvents(static_cast<ISubject*>(subject));
    mSubjects.SetCount(0);
}

void CAFCppEventHandler::DetachProxy()
{
    CAFProxyEventHandlerBase* proxy = std::exchange(mProxy, nullptr);
    if (proxy == nullptr)
        return;
    proxy->mHandler = nullptr;
    // The destination may be the proxy itself: drop it first, then the proxy.
    CAFMessageSender::DoCleanup();
    proxy->AsObserver()->Release();
}

void CAFCppEventHandler::ForgetProxy()
{
    mProxy = nullptr;
    CAFMessageSender::DoCleanup();
}

void CAFCppEventHandler::ObserveEvents(ISubject* subject)
{
    if (subject == nullptr)
        return;
    if (mProxy != nullptr)
        subject->AttachObserver(mProxy->AsObserver());
    mSubjects.Add(subject);
}
