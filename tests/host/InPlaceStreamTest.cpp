// Computed samples read in place: the host's float streams hand out the samples a computed
// array keeps, where they lie; readers that step through them (the detectors' source wrapper,
// the buffered reader of the recursive calculations) see exactly what copies would give them,
// and fall back to copying from streams whose samples are made as they are read.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "IEnumFloatSpan.h"
#include "calc/EEH3SourceEnum.h"
#include "calc/EnumBufferBase.h"
#include "foundation/COMPtr.h"
#include "host/data/SampleStream.h"

namespace {

constexpr uint32_t kSamples = 3000;  // about three of the wrapper's blocks

float Value(uint32_t i) { return float(int(i % 701) - 350) * 0.5f; }

// The same values as computed samples and as a recorded channel stored x 0.5.
std::shared_ptr<Host::ComputedSamples> Computed()
{
    auto samples = std::make_shared<Host::ComputedSamples>(kSamples);
    for (uint32_t i = 0; i < kSamples; ++i)
        samples->Data()[i] = Value(i);
    return samples;
}

std::shared_ptr<Host::RecordedSamples> Recorded()
{
    auto recording = std::make_shared<Host::Recording>(
        "r.csv", 100.0, std::vector<Host::ChannelFormat>{{"Flow", "L/s", 0.5, 0.0}});
    Host::RecordBlock block;
    block.ticks = kSamples;
    block.samples.resize(1);
    for (uint32_t i = 0; i < kSamples; ++i)
        block.samples[0].push_back(int16_t(int(i % 701) - 350));
    recording->AddRecord(std::move(block));
    return std::make_shared<Host::RecordedSamples>(recording, 0, 0, true);
}

KVD::COMPtr<IEnumFloatEx> Stream(std::shared_ptr<const Host::FloatSamples> samples, uint32_t start, uint32_t end)
{
    return KVD::COMPtr<IEnumFloatEx>::Take(Host::FloatStream::Create(std::move(samples), start, end));
}

TEST(InPlaceStreams, ComputedSamplesAreHandedOutWhereTheyLieAndTheStreamMovesOn)
{
    const auto samples = Computed();
    const KVD::COMPtr<IEnumFloatEx> stream = Stream(samples, 2, 8);
    KVD::COMPtr<IEnumFloatSpan> span(KVD::com_cast(stream.get()));
    ASSERT_NE(span, nullptr);
    const float* at = nullptr;
    uint32_t delivered = 0;
    EXPECT_EQ(span->NextInPlace(4, &at, &delivered), KVD_S_OK);
    EXPECT_EQ(at, samples->Data() + 2);
    EXPECT_EQ(delivered, 4u);
    // Short of the end tick: what there is, and KVD_S_FALSE; past it nothing.
    EXPECT_EQ(span->NextInPlace(5, &at, &delivered), KVD_S_FALSE);
    EXPECT_EQ(at, samples->Data() + 6);
    EXPECT_EQ(delivered, 2u);
    EXPECT_EQ(span->NextInPlace(5, &at, &delivered), KVD_S_FALSE);
    EXPECT_EQ(delivered, 0u);
    int32_t position = 0;
    stream->GetPosition(&position);
    EXPECT_EQ(position, 8);
    EXPECT_EQ(span->NextInPlace(1, nullptr, &delivered), KVD_E_POINTER);

    // A clone answers too, from where the original stood; the samples outlive every stream.
    int32_t skipped = 0;
    stream->SkipEx(-5, &skipped);
    KVD::COMPtr<IEnumExBase> clone;
    ASSERT_EQ(stream->Clone(clone.Set()), KVD_S_OK);
    KVD::COMPtr<IEnumFloatSpan> cloneSpan(KVD::com_cast(clone.get()));
    ASSERT_NE(cloneSpan, nullptr);
    EXPECT_EQ(cloneSpan->NextInPlace(1, &at, &delivered), KVD_S_OK);
    EXPECT_EQ(*at, Value(3));
}

TEST(InPlaceStreams, SamplesMadeOnReadingAreRefusedWithoutMovingAndShortStreamsDoNotAnswer)
{
    const KVD::COMPtr<IEnumFloatEx> stream = Stream(Recorded(), 5, kSamples);
    KVD::COMPtr<IEnumFloatSpan> span(KVD::com_cast(stream.get()));
    ASSERT_NE(span, nullptr);
    const float* at = nullptr;
    uint32_t delivered = 7;
    EXPECT_EQ(span->NextInPlace(4, &at, &delivered), KVD_E_NOTIMPL);
    int32_t position = 0;
    stream->GetPosition(&position);
    EXPECT_EQ(position, 5);
    // Scaled computed samples are made on reading as well.
    const KVD::COMPtr<IEnumFloatEx> scaled = Stream(std::make_shared<Host::ScaledSamples>(Computed(), 1000.0), 0, 10);
    EXPECT_EQ(KVD::COMPtr<IEnumFloatSpan>(KVD::com_cast(scaled.get()))->NextInPlace(4, &at, &delivered),
              KVD_E_NOTIMPL);

    auto recording = std::make_shared<Host::Recording>(
        "s.csv", 10.0, std::vector<Host::ChannelFormat>{{"A", "V", 1.0, 0.0}});
    recording->AddRecord(Host::RecordBlock{2, {{1, 2}}});
    const auto shorts = KVD::COMPtr<IEnumShortEx>::Take(
        Host::ShortStream::Create(std::make_shared<Host::RecordedShorts>(recording, 0, 0), 0, 2));
    void* face = &face;
    EXPECT_EQ(shorts->QueryInterface(IID_IEnumFloatSpan, &face), KVD_E_NOINTERFACE);
}

// Everything a detector's wrapper hands out from tick 10 to its end tick, read sample by sample
// with a step back into an earlier block on the way, and then block by block.
std::vector<float> ThroughWrapper(const KVD::COMPtr<IEnumFloatEx>& stream)
{
    EEH3::FloatExWrapper wrapper(stream.get());
    wrapper.SetAnalysisEnd(int32_t(kSamples));
    wrapper.SetEndTick(2900);
    EXPECT_EQ(wrapper.SetInitialPosition(10), KVD_S_OK);
    std::vector<float> seen;
    bool steppedBack = false;
    while (wrapper.IsValid()) {
        seen.push_back(float(wrapper.GetPosition()));
        seen.push_back(wrapper.deref());
        wrapper.Advance();
        if (!steppedBack && wrapper.GetPosition() == 2000) {
            wrapper.MoveTo(500);
            steppedBack = true;
        }
    }
    wrapper.MoveTo(1000);
    while (wrapper.IsValid()) {
        uint32_t count = 0;
        const float* block = wrapper.Buffered(count);
        seen.insert(seen.end(), block, block + count);
        wrapper.SkipBuffered(count);
    }
    seen.push_back(float(wrapper.GetPosition()));
    return seen;
}

TEST(InPlaceStreams, TheDetectorsWrapperSeesInPlaceWhatItWouldCopy)
{
    const std::vector<float> copied = ThroughWrapper(Stream(Recorded(), 0, kSamples));
    const std::vector<float> inPlace = ThroughWrapper(Stream(Computed(), 0, kSamples));
    // Read from 10 to 2000, again from 500 to the end tick, then 1000 to 2899 in blocks.
    ASSERT_EQ(copied.size(), size_t(2 * (1990 + 2400) + 1900 + 1));
    EXPECT_EQ(inPlace, copied);
    EXPECT_EQ(copied[1], Value(10));
    EXPECT_EQ(copied.back(), 2900.0f);
}

TEST(InPlaceStreams, TheBufferedReaderTakesBlocksInPlaceAndKeepsItsPositions)
{
    const auto samples = Computed();
    EnumBufferBase<float, IEnumFloatEx, 32> reader;
    reader.SetEnum(Stream(samples, 0, kSamples).get());
    ASSERT_TRUE(reader.HasMore());
    EXPECT_EQ(reader.Next(), Value(0));
    // Nothing is taken in place while samples are buffered.
    const float* at = nullptr;
    EXPECT_EQ(reader.NextInPlace(100, at), 0u);
    int32_t skipped = 0;
    reader.SkipEx(31, &skipped);
    EXPECT_EQ(reader.NextPosition(), 32);
    EXPECT_EQ(reader.NextInPlace(1000, at), 1000u);
    EXPECT_EQ(at, samples->Data() + 32);
    EXPECT_EQ(reader.NextPosition(), 1032);
    EXPECT_EQ(reader.NextInPlace(5000, at), kSamples - 1032);
    EXPECT_EQ(reader.LastResult(), KVD_S_FALSE);
    reader.SkipEx(-3000, &skipped);
    ASSERT_TRUE(reader.HasMore());
    EXPECT_EQ(reader.Next(), Value(kSamples - 3000));

    // A copy of the reader reads its own clone in place.
    EnumBufferBase<float, IEnumFloatEx, 32> copy(reader);
    while (copy.Buffered() > 0)
        copy.Next();
    EXPECT_EQ(copy.NextInPlace(10, at), 10u);
    EXPECT_EQ(*at, Value(32));

    // From a stream that makes its samples as they are read the reader takes nothing in place.
    EnumBufferBase<float, IEnumFloatEx, 32> recorded;
    recorded.SetEnum(Stream(Recorded(), 0, kSamples).get());
    EXPECT_EQ(recorded.NextInPlace(10, at), 0u);
    EXPECT_EQ(at, nullptr);
    std::vector<float> out(10);
    EXPECT_EQ(recorded.NextPastBuffer(10, out.data()), 10u);
    EXPECT_EQ(out[9], Value(9));
}

// A recording being sampled adds records: a stream over an earlier record (as a computation a
// part at a time keeps one open) still reads that record's values.
TEST(InPlaceStreams, RecordedStreamsFollowTheirRecordWhenTheRecordingAddsMore)
{
    auto recording = std::make_shared<Host::Recording>(
        "live.csv", 100.0, std::vector<Host::ChannelFormat>{{"Flow", "L/s", 0.5, 0.0}});
    recording->AddRecord(Host::RecordBlock{3, {{2, 4, 6}}});
    const KVD::COMPtr<IEnumFloatEx> floats = Stream(std::make_shared<Host::RecordedSamples>(recording, 0, 0, true), 0, 3);
    const auto shorts = KVD::COMPtr<IEnumShortEx>::Take(
        Host::ShortStream::Create(std::make_shared<Host::RecordedShorts>(recording, 0, 0), 0, 3));
    float first = 0.0f;
    uint32_t delivered = 0;
    floats->Next(1, &first, &delivered);
    EXPECT_EQ(first, 1.0f);
    for (int16_t r = 1; r <= 40; ++r)
        recording->AddRecord(Host::RecordBlock{1, {{r}}});
    float rest[2] = {};
    EXPECT_EQ(floats->Next(2, rest, &delivered), KVD_S_OK);
    EXPECT_EQ(rest[1], 3.0f);
    int16_t stored[3] = {};
    EXPECT_EQ(shorts->Next(3, stored, &delivered), KVD_S_OK);
    EXPECT_EQ(stored[2], 6);
    EXPECT_THROW(Host::RecordedSamples(recording, 41, 0, true), std::out_of_range);
}

}  // namespace
