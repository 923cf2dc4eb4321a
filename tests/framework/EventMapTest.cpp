// Observer events through the host's event map: subjects of the plug-in that keep no lists,
// handlers that register their table's events, synchronous delivery, and clean departures.
#include <gtest/gtest.h>

#include "TestHandlers.h"
#include "foundation/ClassObjectAccessor.h"

using namespace FrameworkTest;

namespace {

ICAFEventMap* EventMap()
{
    return COMClassObjectAccessor<ICAFEventMap, &CLSID_CAFFrameWork>::Get();
}

uint32_t ObserverCount(ISubject* subject)
{
    uint32_t count = 0;
    EventMap()->GetObserverCount(subject, ChangedEventId::GetId(), &count);
    return count;
}

void Raise(ISubject& subject, unsigned int value)
{
    uint64_t args[1] = {value};
    subject.NotifyObservers(ChangedEventId::GetId(), args);
}

TEST(EventMap, AttachingRegistersTheTableEvents)
{
    Log log;
    TestSubject subject;
    Ref<DocHandler> doc("doc", log);
    ASSERT_NE(EventMap(), nullptr);
    EXPECT_EQ(subject.AttachObserver(doc->AsObserver()), KVD_S_OK);
    EXPECT_EQ(ObserverCount(&subject), 1u);
    Raise(subject, 42);
    // An event nobody registered for reaches nobody.
    subject.NotifyObservers(NoteMsgId::GetId(), nullptr);
    EXPECT_EQ(log, (Log{"doc: changed 42"}));

    EXPECT_EQ(subject.DetachObserver(doc->AsObserver()), KVD_S_OK);
    Raise(subject, 43);
    EXPECT_EQ(log.size(), 1u);
    EXPECT_EQ(subject.DetachObserver(doc->AsObserver()), KVD_S_FALSE);

    // An observer of two subjects hears each only through it.
    TestSubject other;
    log.clear();
    subject.AttachObserver(doc->AsObserver());
    other.AttachObserver(doc->AsObserver());
    Raise(subject, 1);
    EXPECT_EQ(log, (Log{"doc: changed 1"}));
    Raise(other, 2);
    EXPECT_EQ(log, (Log{"doc: changed 1", "doc: changed 2"}));
    subject.DetachObserver(doc->AsObserver());
    other.DetachObserver(doc->AsObserver());
}

TEST(EventMap, ObserversDetachedDuringDeliveryAreSkipped)
{
    Log log;
    TestSubject subject;
    Ref<DocHandler> first("first", log), second("second", log), third("third", log);
    subject.AttachObserver(first->AsObserver());
    subject.AttachObserver(second->AsObserver());
    subject.AttachObserver(third->AsObserver());
    // The first observer takes the second off and itself too while the event is delivered.
    first->mOnChanged = [&] {
        subject.DetachObserver(second->AsObserver());
        subject.DetachObserver(first->AsObserver());
    };
    Raise(subject, 5);
    EXPECT_EQ(log, (Log{"first: changed 5", "third: changed 5"}));
    log.clear();
    Raise(subject, 6);
    EXPECT_EQ(log, (Log{"third: changed 6"}));
    subject.DetachObserver(third->AsObserver());
}

TEST(EventMap, SubjectsAndObserversTakeThemselvesOff)
{
    Log log;
    Ref<DocHandler> stays("stays", log);
    auto* subject = new TestSubject;
    Ref<DocHandler>* going = new Ref<DocHandler>("going", log);
    subject->AttachObserver(stays->AsObserver());
    subject->AttachObserver((*going)->AsObserver());
    EXPECT_EQ(ObserverCount(subject), 2u);
    // The handler's destruction removes it from the event map.
    delete going;
    EXPECT_EQ(ObserverCount(subject), 1u);
    Raise(*subject, 7);
    EXPECT_EQ(log, (Log{"stays: changed 7"}));
    // So does the subject's: nothing stays registered on its address.
    ISubject* gone = subject;
    delete subject;
    EXPECT_EQ(ObserverCount(gone), 0u);
}

}  // namespace
