// The events a calculation computed, read back as an event stream the way the event drawer and
// a formula read them: whole records of the calculation's size, bounded by the end tick, found
// from a tick, skipped by index and cloned where they stand; a stream over a record still being
// sampled reads the events found since it was made.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "foundation/COMPtr.h"
#include "host/channels/ComputedEvents.h"

namespace {

constexpr int32_t kSize = 24;  // a tick, a fraction, a value and eight bytes of the detector's own

std::shared_ptr<const Host::ComputedEvents> Events(const std::vector<int32_t>& ticks)
{
    auto events = std::make_shared<Host::ComputedEvents>();
    events->size = kSize;
    events->type = 0x12340001;
    for (int32_t tick : ticks) {
        uint8_t record[kSize] = {};
        std::memcpy(record, &tick, sizeof tick);
        const double own = tick * 0.5;
        std::memcpy(record + 16, &own, sizeof own);
        events->bytes.insert(events->bytes.end(), record, record + kSize);
    }
    return events;
}

std::vector<int32_t> Read(IEnumEventEx& stream, int32_t endTick, std::vector<double>* own = nullptr)
{
    std::vector<int32_t> ticks;
    uint8_t buffer[kSize * 2];
    for (;;) {
        uint32_t count = 0;
        int32_t position = 0;
        stream.Next(sizeof buffer, endTick, buffer, &count, &position);
        if (count == 0)
            return ticks;
        for (uint32_t i = 0; i < count; ++i) {
            int32_t tick = 0;
            std::memcpy(&tick, buffer + i * kSize, sizeof tick);
            ticks.push_back(tick);
            if (own != nullptr) {
                double value = 0;
                std::memcpy(&value, buffer + i * kSize + 16, sizeof value);
                own->push_back(value);
            }
        }
    }
}

TEST(ComputedEvents, AStreamGivesWholeRecordsFromItsStartUpToItsEnd)
{
    const auto events = Events({10, 20, 30, 40, 50});
    EXPECT_EQ(events->Count(), 5u);
    EXPECT_EQ(events->TickAt(3), 40);
    KVD::COMPtr<IEnumEventEx> stream = Host::ComputedEventStream::Create(events, 15, 45);
    int32_t size = 0;
    TCAFId type = 0;
    stream->GetSizeofEvents(&size);
    stream->GetTypeofEvents(&type);
    EXPECT_EQ(size, kSize);
    EXPECT_EQ(type, 0x12340001u);
    std::vector<double> own;
    EXPECT_EQ(Read(*stream, 0x7FFFFFFF, &own), (std::vector<int32_t>{20, 30, 40}));
    EXPECT_EQ(own, (std::vector<double>{10, 15, 20}));  // the detector's bytes come along
    int32_t position = 0;
    stream->GetPosition(&position);
    EXPECT_EQ(position, 0x7FFFFFFF);  // nothing more before the end
}

TEST(ComputedEvents, FindSkipAndCloneMoveWhereTheStreamStands)
{
    KVD::COMPtr<IEnumEventEx> stream = Host::ComputedEventStream::Create(Events({10, 20, 30, 40}), 0, 100);
    EXPECT_EQ(stream->Find(0, 25, 0, 100), KVD_S_OK);
    int32_t position = 0, index = -1;
    stream->GetPosition(&position);
    stream->GetIndex(&index);
    EXPECT_EQ(position, 30);
    EXPECT_EQ(index, 2);
    KVD::COMPtr<IEnumEventEx> copy;
    ASSERT_EQ(stream->Clone(copy.Set()), KVD_S_OK);
    int32_t skipped = 0;
    stream->SkipIndex(-5, &skipped);
    EXPECT_EQ(skipped, -2);  // no further than the first event
    EXPECT_EQ(Read(*stream, 35), (std::vector<int32_t>{10, 20, 30}));
    EXPECT_EQ(Read(*copy, 0x7FFFFFFF), (std::vector<int32_t>{30, 40}));
    // A limit past every event finds nothing.
    EXPECT_EQ(stream->Find(0, 41, 0, 100), KVD_S_FALSE);
}

// The calculation's events as a growing record gives them: each read of the latest finds more.
TEST(ComputedEvents, AStreamOverAGrowingRecordReadsTheEventsFoundSinceItWasMade)
{
    std::shared_ptr<const Host::ComputedEvents> latest = Events({10, 20});
    int asked = 0;
    auto source = [&] {
        ++asked;
        return latest;
    };
    KVD::COMPtr<IEnumEventEx> stream = Host::ComputedEventStream::Create(latest, 0, 0x7FFFFFFF, source);
    EXPECT_EQ(Read(*stream, 0x7FFFFFFF), (std::vector<int32_t>{10, 20}));
    // The record grew: reading on gives only what is new, from where the stream stood.
    latest = Events({10, 20, 30, 40});
    std::vector<double> own;
    EXPECT_EQ(Read(*stream, 0x7FFFFFFF, &own), (std::vector<int32_t>{30, 40}));
    EXPECT_EQ(own, (std::vector<double>{15.0, 20.0}));
    // Positioned again, as a drawer does before each draw: the newest events are there.
    latest = Events({10, 20, 30, 40, 50});
    EXPECT_EQ(stream->Find(0, 35, -1, 0x7FFFFFFF), KVD_S_OK);
    EXPECT_EQ(Read(*stream, 0x7FFFFFFF), (std::vector<int32_t>{40, 50}));
    int32_t index = -1;
    stream->GetIndex(&index);
    EXPECT_EQ(index, 5);
    // A clone follows the record as well.
    KVD::COMPtr<IEnumEventEx> copy;
    ASSERT_EQ(stream->Clone(copy.Set()), KVD_S_OK);
    latest = Events({10, 20, 30, 40, 50, 60});
    EXPECT_EQ(Read(*copy, 0x7FFFFFFF), (std::vector<int32_t>{60}));
    // A source with nothing (its calculation gone) leaves the stream with what it read.
    latest = nullptr;
    EXPECT_EQ(stream->Find(0, 0, -1, 0x7FFFFFFF), KVD_S_OK);
    EXPECT_EQ(Read(*stream, 0x7FFFFFFF), (std::vector<int32_t>{10, 20, 30, 40, 50}));
    EXPECT_GT(asked, 0);
}

}  // namespace
