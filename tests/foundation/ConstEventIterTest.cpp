// Reading an event stream forward through a buffer of eight records, and copies mid-stream.
#include <gtest/gtest.h>

#include <vector>

#include "IEnumEventEx.h"
#include "foundation/ConstEventIterBase.h"
#include "foundation/UnknownImp.h"
#include "ComTestObjects.h"

namespace {

// The records of this stream: the common start and an extra word.
struct Event : KVDEventBase {
    int32_t extra;
    int32_t padding;
};

typedef KVDEvent::ConstEventIterBase<IEnumEventEx, Event, KVDEvent::DynamicStoragePolicy,
                                     KVDEvent::PODEventBufferSizePolicy, 8>
    EventIter;

// Events at ticks 0, 10, 20, ...; Next delivers those from the position up to the end tick.
class TickStream : public SimpleUnknownImp1<IEnumEventEx, 0l> {
public:
    TickStream(int* deleted, int count, int overclaim = 0) : mDeleted(deleted), mCount(count), mOverclaim(overclaim) {}
    ~TickStream() override { ++*mDeleted; }

    HRESULT Next(uint32_t bytes, int32_t endTick, uint8_t* buffer, uint32_t* count, int32_t* position) override
    {
        ++calls;
        uint32_t n = 0;
        for (int i = 0; i < mCount && (n + 1) * sizeof(Event) <= bytes; ++i) {
            const int32_t tick = 10 * i;
            if (tick < *position || tick >= endTick)
                continue;
            Event event{};
            event.tick = tick;
            event.value = i * 0.5;
            event.extra = i;
            std::memcpy(buffer + n * sizeof(Event), &event, sizeof(Event));
            ++n;
            *position = tick + 1;
        }
        *count = n != 0 ? n + mOverclaim : 0;
        return n != 0 ? KVD_S_OK : KVD_S_FALSE;
    }
    HRESULT Find(EventFindTypes, int32_t, int32_t, int32_t) override { return KVD_E_NOTIMPL; }
    HRESULT GetPosition(int32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT SkipIndex(int32_t, int32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT Clone(IEnumEventEx** out) override
    {
        auto* clone = new TickStream(mDeleted, mCount, mOverclaim);
        clone->AddRef();
        *out = clone;
        return KVD_S_OK;
    }
    HRESULT GetSizeofEvents(int32_t* size) override { return *size = sizeof(Event), KVD_S_OK; }
    HRESULT GetTypeofEvents(TCAFId*) override { return KVD_E_NOTIMPL; }
    HRESULT GetIndex(int32_t*) override { return KVD_E_NOTIMPL; }
    HRESULT GetTickToSample(TTickToSample*) override { return KVD_E_NOTIMPL; }

    int calls = 0;

private:
    int* mDeleted;
    int mCount;
    int mOverclaim;
};

std::vector<int> ReadAll(EventIter& iter)
{
    std::vector<int> extras;
    while (const Event* event = iter.Next())
        extras.push_back(event->extra);
    return extras;
}

std::vector<int> Range(int from, int to)
{
    std::vector<int> values;
    for (int i = from; i < to; ++i)
        values.push_back(i);
    return values;
}

TEST(ConstEventIter, ReadsEveryEventThroughABufferOfEightRecords)
{
    int deleted = 0;
    TickStream* stream = new TickStream(&deleted, 20);
    {
        EventIter iter(stream);
        EXPECT_EQ(iter.GetRecordSize(), int32_t(sizeof(Event)));
        EXPECT_EQ(iter.GetBufSize(), 8 * sizeof(Event));
        EXPECT_EQ(ReadAll(iter), Range(0, 20));
        EXPECT_EQ(stream->calls, 4);  // 8, 8, 4, then nothing
        EXPECT_EQ(iter.GetResult(), KVD_S_FALSE);
        EXPECT_EQ(iter.GetPosition(), 191);
    }
    EXPECT_EQ(deleted, 1);
}

TEST(ConstEventIter, TheRangeLimitsTheTicksRead)
{
    int deleted = 0;
    EventIter iter(new TickStream(&deleted, 20));
    iter.SetRange(35, 95);
    EXPECT_EQ(ReadAll(iter), Range(4, 10));
}

TEST(ConstEventIter, ACopyGoesOnFromTheSamePlaceOnItsOwnClone)
{
    int deleted = 0;
    EventIter iter(new TickStream(&deleted, 20));
    for (int i = 0; i < 3; ++i)
        iter.Next();
    {
        EventIter copy(iter);
        EXPECT_EQ(ReadAll(copy), Range(3, 20));
    }
    EXPECT_EQ(deleted, 1);  // the clone
    EXPECT_EQ(ReadAll(iter), Range(3, 20));

    EventIter empty;
    EventIter emptyCopy(empty);
    EXPECT_EQ(emptyCopy.Next(), nullptr);
}

TEST(ConstEventIter, AStreamThatClaimsMoreThanFitsIsHeldToTheBuffer)
{
    int deleted = 0;
    EventIter iter(new TickStream(&deleted, 3, 100));
    EXPECT_EQ(ReadAll(iter).size(), 8u);
}

TEST(ConstEventIter, AQuerySetterAdoptsTheStreamThatCameBack)
{
    int deleted = 0;
    TickStream* stream = new TickStream(&deleted, 2);
    stream->AddRef();
    {
        EventIter iter;
        ComTest::HandOut<IUnknown, IUnknown>(stream, iter.SetQuery());
        EXPECT_EQ(ComTest::RefsOf(stream), 2u);
        EXPECT_EQ(ReadAll(iter), Range(0, 2));
    }
    EXPECT_EQ(stream->Release(), 0u);
    EXPECT_EQ(deleted, 1);
}

}  // namespace
