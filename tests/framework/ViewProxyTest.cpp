// Views reach the host through a COM proxy that forwards to the view's tables; a proxy without
// a view answers without touching anything.
#include <gtest/gtest.h>

#include "FrameworkIds.h"
#include "TestHandlers.h"
#include "TableDoubles.h"

using namespace FrameworkTest;

namespace {

TEST(ViewProxy, ForwardsCommandsEventsAndMessagesToTheView)
{
    Log log;
    ViewHandler view(log);
    Ref<CAFProxyEventHandler> proxy;
    proxy->AttachEventHandler(view);
    EXPECT_EQ(proxy->GetAttachedHandler(), &view);
    EXPECT_EQ(view.GetDestination(), static_cast<IMessageHandler*>(proxy.get()));

    EXPECT_EQ(proxy->Command(ViewCmdId::GetId()), KVD_S_OK);
    EXPECT_EQ(proxy->Command(0x80170777), KVD_S_FALSE);
    RecordingEnabler enabler;
    EXPECT_EQ(proxy->CommandEnable(ViewCmdId::GetId(), &enabler), KVD_S_OK);
    EXPECT_EQ(enabler.mEnabled, kAutoTrue);

    TestSubject subject;
    view.ObserveEvents(&subject);
    uint64_t args[1] = {9};
    subject.NotifyObservers(ChangedEventId::GetId(), args);

    // The view's own message comes back through the proxy's tree only when not flagged.
    EXPECT_EQ(view.SendMsg(view.GetDestination(), NoteMsg(L"hello"), 0), KVD_S_OK);
    EXPECT_EQ(view.SendMsg(view.GetDestination(), NoteMsg(L"quiet"), kMsgFlag_NotToSender), KVD_S_OK);
    EXPECT_EQ(log, (Log{"view: command", "view: changed 9", "view: hello"}));
    subject.DetachObserver(proxy->AsObserver());
}

TEST(ViewProxy, SubjectsObservedBeforeAttachingAreObservedThroughTheProxy)
{
    Log log;
    ViewHandler view(log);
    TestSubject subject;
    view.ObserveEvents(&subject);
    EXPECT_EQ(view.GetPendingSubjectCount(), 1u);
    Ref<CAFProxyEventHandler> proxy;
    view.AttachProxy(*proxy.get());
    EXPECT_EQ(view.GetPendingSubjectCount(), 0u);
    uint64_t args[1] = {3};
    subject.NotifyObservers(ChangedEventId::GetId(), args);
    EXPECT_EQ(log, (Log{"view: changed 3"}));
    subject.DetachObserver(proxy->AsObserver());
}

TEST(ViewProxy, AProxyWithoutAViewAnswersQuietly)
{
    Log log;
    Ref<CAFProxyEventHandler> proxy;
    TestSubject subject;
    RecordingEnabler enabler;
    EXPECT_EQ(proxy->Command(ViewCmdId::GetId()), KVD_S_OK);
    EXPECT_EQ(proxy->CommandEnable(ViewCmdId::GetId(), &enabler), KVD_S_OK);
    EXPECT_EQ(enabler.mCalls, 0);
    EXPECT_EQ(proxy->Notify(&subject, ChangedEventId::GetId(), 0, nullptr), KVD_S_OK);
    EXPECT_EQ(proxy->RegisterEvents(&subject), KVD_S_FALSE);

    // A view that goes away leaves its proxy without a view.
    auto* view = new ViewHandler(log);
    proxy->AttachEventHandler(*view);
    delete view;
    EXPECT_EQ(proxy->GetAttachedHandler(), nullptr);
    EXPECT_EQ(proxy->Command(ViewCmdId::GetId()), KVD_S_OK);
    EXPECT_TRUE(log.empty());
}

TEST(ViewProxy, AttachingAnotherProxyDetachesTheFirst)
{
    Log log;
    ViewHandler view(log);
    Ref<CAFProxyEventHandler> first, second;
    first->AttachEventHandler(view);
    second->AttachEventHandler(view);
    EXPECT_EQ(first->GetAttachedHandler(), nullptr);
    EXPECT_EQ(second->GetAttachedHandler(), &view);
    EXPECT_EQ(view.GetProxy(), second.get());
    EXPECT_EQ(first->Command(ViewCmdId::GetId()), KVD_S_OK);
    EXPECT_TRUE(log.empty());
    // The proxy's interfaces are the ones its map lists.
    void* out = nullptr;
    EXPECT_EQ(second->QueryInterface(IID_IMessageHandler, &out), KVD_S_OK);
    static_cast<IMessageHandler*>(out)->Release();
    EXPECT_EQ(second->QueryInterface(IID_ISubject, &out), KVD_E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
}

}  // namespace
