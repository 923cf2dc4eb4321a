// The recursive-filter base: saved block states, restores on repositioning, the streaming
// history, cache maintenance, and random access that matches one straight pull.
#include <gtest/gtest.h>

#include <cmath>

#include "RandomAccess.h"
#include "support/FakeStreams.h"
#include "support/LeakyIntegrator.h"

namespace {

using CalcTest::FloatStream;
using CalcTest::LeakyEnum;

CalcTest::FakeData gData;

std::vector<float> Signal(unsigned n)
{
    std::vector<float> samples(n);
    for (unsigned i = 0; i < n; ++i)
        samples[i] = static_cast<float>(std::sin(i * 0.001) * 100.0 + (i % 7));
    return samples;
}

// A leaky integrator over a float stream; random-access mode with host data, streaming
// mode without.
struct Filter {
    Filter(const std::vector<float>& samples, bool withData, int32_t record = 0, CalcEnumFlags flags = 0)
        : source(FloatStream::Make(samples))
    {
        CalcTest::LeakyClassObject().Create(withData ? &gData : nullptr, &calc);
        calc->QueryInterface(IID_IEnumFloatEx, reinterpret_cast<void**>(&stream));
        BlockUpdateType update = 0;
        calc->SetSettings(KVD::String(L"0.999").AsIAutoKVDString(), &update);
        IUnknown* sources[] = {source};
        IUnitName* units[] = {unit};
        EXPECT_EQ(calc->SetSources(record, 1, sources, units, 0.01, flags), KVD_S_OK);
    }
    // A clone of another filter (same caches).
    explicit Filter(const Filter& other)
    {
        other.calc->CloneSlave(nullptr, &calc);
        calc->QueryInterface(IID_IEnumFloatEx, reinterpret_cast<void**>(&stream));
    }
    ~Filter()
    {
        stream->Release();
        EXPECT_EQ(calc->Release(), 0u);
        if (source != nullptr)
            source->Release();
        unit->Release();
    }
    LeakyEnum* Impl() const { return static_cast<LeakyEnum*>(calc); }

    // Reads n samples from the current position; answers the last one.
    float Pull(uint32_t n)
    {
        std::vector<float> buffer(4096);
        float last = NAN;
        while (n > 0) {
            uint32_t got = 0;
            stream->Next(std::min<uint32_t>(n, 4096), buffer.data(), &got);
            if (got == 0)
                break;
            last = buffer[got - 1];
            n -= got;
        }
        return last;
    }
    // Repositions and reads one sample; answers it and how many samples that computed.
    std::pair<float, uint64_t> ReadAt(int32_t position)
    {
        EXPECT_EQ(calc->SetInitialPosition(position), KVD_S_OK);
        Impl()->ResetComputed();
        const float value = Pull(1);
        return {value, Impl()->Computed()};
    }
    void Clear(int32_t fromTick, int32_t firstRecord = 0, int32_t endRecord = 1)
    {
        EXPECT_EQ(calc->ClearCachedData(kUpdateAll, {uint32_t(fromTick), firstRecord}, {0, 0}, firstRecord, endRecord),
                  KVD_S_OK);
    }

    FloatStream* source = nullptr;
    CalcTest::FakeUnit* unit = new CalcTest::FakeUnit;
    ICalcEnum* calc = nullptr;
    IEnumFloatEx* stream = nullptr;
};

std::vector<float> StraightPull(const std::vector<float>& samples)
{
    Filter straight(samples, true);
    return CalcTest::PullAll(straight.stream);
}

TEST(RecursiveFilter, RandomAccessMatchesTheStraightPull)
{
    const std::vector<float> samples = Signal(100000);
    const std::vector<float> expected = StraightPull(samples);
    ASSERT_EQ(expected.size(), samples.size());
    EXPECT_FLOAT_EQ(expected[1], static_cast<float>(0.999 * samples[0] + samples[1]));

    Filter filter(samples, true);
    CalcTest::RandomAccessCheck(expected, 5).Run(filter.calc, filter.stream, 0, 300);
}

TEST(RecursiveFilter, StreamingRandomAccessMatchesTheStraightPull)
{
    const std::vector<float> samples = Signal(100000);
    const std::vector<float> expected = StraightPull(samples);
    Filter filter(samples, false);
    CalcTest::RandomAccessCheck(expected, 11).Run(filter.calc, filter.stream, 0, 300);
}

TEST(RecursiveFilter, RepositioningRestoresTheNearestSavedState)
{
    const std::vector<float> samples = Signal(60000);
    const std::vector<float> expected = StraightPull(samples);
    Filter filter(samples, true);
    filter.Pull(35000);  // saves the states at 16000 and 32000

    auto [value, computed] = filter.ReadAt(40000);
    EXPECT_EQ(value, expected[40000]);
    EXPECT_EQ(computed, 8001u);

    filter.Clear(32000);  // slot 2 gone, slot 1 kept
    std::tie(value, computed) = filter.ReadAt(40000);
    EXPECT_EQ(value, expected[40000]);
    EXPECT_EQ(computed, 24001u);

    filter.Clear(0);  // nothing kept: the record starts again
    std::tie(value, computed) = filter.ReadAt(40000);
    EXPECT_EQ(value, expected[40000]);
    EXPECT_EQ(computed, 40001u);

    // That pull saved slots 1 and 2 again, and a clone shares them.
    Filter clone(filter);
    std::tie(value, computed) = clone.ReadAt(33000);
    EXPECT_EQ(value, expected[33000]);
    EXPECT_EQ(computed, 1001u);

    // New settings make the saved states worthless to the instance that gets them; the clone
    // that keeps the old settings keeps them.
    BlockUpdateType update = 0;
    filter.calc->SetSettings(KVD::String(L"0.5").AsIAutoKVDString(), &update);
    EXPECT_EQ(update, kUpdateAll);
    EXPECT_EQ(filter.ReadAt(33000).second, 33001u);
    IUnknown* sources[] = {filter.source};
    filter.calc->SetSources(0, 1, sources, nullptr, 0.01, 0);
    EXPECT_EQ(filter.ReadAt(33000).second, 33001u);
    std::tie(value, computed) = clone.ReadAt(33000);
    EXPECT_EQ(value, expected[33000]);
    EXPECT_EQ(computed, 1001u);
}

TEST(RecursiveFilter, UncachedSourcesAlwaysRecomputeFromTheStart)
{
    const std::vector<float> samples = Signal(50000);
    Filter filter(samples, true, 0, 0x80000000);
    filter.Pull(35000);
    EXPECT_EQ(filter.ReadAt(40000).second, 40001u);
    Filter cached(samples, true, 0, 0xC0000000);
    cached.Pull(35000);
    EXPECT_EQ(cached.ReadAt(40000).second, 8001u);
}

TEST(RecursiveFilter, BackToTheRecordStartAfterBufferedReads)
{
    // The reader holds buffered samples when the record starts again: it must follow the
    // source back to sample 0 rather than trust its old counters, which later restores of
    // saved states rely on.
    const std::vector<float> samples = Signal(40000);
    const std::vector<float> expected = StraightPull(samples);
    for (bool withData : {true, false}) {
        Filter filter(samples, withData);
        filter.Pull(1000);
        int32_t skipped = 0;
        EXPECT_EQ(filter.stream->SkipEx(-900, &skipped), KVD_S_OK);
        EXPECT_EQ(skipped, -900);
        EXPECT_EQ(filter.Pull(1), expected[100]) << withData;
        filter.Pull(34899);
        EXPECT_EQ(filter.stream->SkipEx(-1000, &skipped), KVD_S_OK);
        EXPECT_EQ(filter.Pull(1), expected[34000]) << withData;
        EXPECT_EQ(filter.calc->SetInitialPosition(0), KVD_S_OK);
        EXPECT_EQ(filter.Pull(3), expected[2]) << withData;
    }
}

// What reading sample 40000 computes for a clone of filter that reads the given record.
uint64_t RestoreCostOnRecord(const Filter& filter, int32_t record)
{
    Filter clone(filter);
    IUnknown* sources[] = {filter.source};
    EXPECT_EQ(clone.calc->SetSources(record, 1, sources, nullptr, 0.01, 0), KVD_S_OK);
    return clone.ReadAt(40000).second;
}

TEST(RecursiveFilter, RecordCachesFollowTheRecords)
{
    const std::vector<float> samples = Signal(50000);
    Filter first(samples, true, 0);
    first.Pull(35000);  // record 0 holds slots 1 and 2
    EXPECT_EQ(RestoreCostOnRecord(first, 0), 8001u);

    // A new record after the last one starts without saved states.
    EXPECT_EQ(RestoreCostOnRecord(first, 0x7FFFFFFE), 40001u);

    // Records inserted before record 0: its states now belong to record 1.
    EXPECT_EQ(first.calc->ReindexCachedData(0, 0, 1), KVD_S_OK);
    EXPECT_EQ(RestoreCostOnRecord(first, 1), 8001u);
    EXPECT_EQ(RestoreCostOnRecord(first, 0), 40001u);

    // Records removed: record 1 moves back to 0.
    EXPECT_EQ(first.calc->ReindexCachedData(0, 1, 0), KVD_S_OK);
    EXPECT_EQ(RestoreCostOnRecord(first, 0), 8001u);

    // A change of another kind clears nothing; clearing from record 1 on spares record 0.
    EXPECT_EQ(first.calc->ClearCachedData(0x1, {0, 0}, {0, 0}, 0, 1), KVD_S_OK);
    first.Clear(0, 1, 5);
    EXPECT_EQ(RestoreCostOnRecord(first, 0), 8001u);
    first.Clear(32000, 0, 1);
    EXPECT_EQ(RestoreCostOnRecord(first, 0), 24001u);
}

TEST(RecursiveFilter, StreamingHistoryReachesBack256Blocks)
{
    const std::vector<float> samples = Signal(300 * 16000 + 10);
    Filter longRun(samples, false);
    longRun.Pull(300 * 16000);
    int32_t skipped = 123;
    EXPECT_EQ(longRun.stream->SkipEx(-290 * 16000, &skipped), KVD_S_FALSE);
    EXPECT_EQ(skipped, 0);
    int32_t position = 0;
    longRun.stream->GetPosition(&position);
    EXPECT_EQ(position, 300 * 16000);
    // Within the history: back by 100 blocks recomputes from a kept state.
    longRun.Impl()->ResetComputed();
    EXPECT_EQ(longRun.stream->SkipEx(-100 * 16000 - 5, &skipped), KVD_S_OK);
    EXPECT_EQ(skipped, -100 * 16000 - 5);
    EXPECT_LT(longRun.Impl()->Computed(), 16000u);

    Filter shortRun(samples, false);
    const float first = shortRun.Pull(1);
    shortRun.Pull(10 * 16000);
    EXPECT_EQ(shortRun.stream->SkipEx(-10 * 16000 - 1, &skipped), KVD_S_OK);
    EXPECT_EQ(skipped, -10 * 16000 - 1);
    EXPECT_EQ(shortRun.Pull(1), first);
}

TEST(RecursiveFilter, FixedAnswers)
{
    const std::vector<float> samples = Signal(100);
    Filter streaming(samples, false);
    EXPECT_EQ(streaming.calc->ClearCachedData(kUpdateAll, {0, 0}, {0, 0}, 0, 1), KVD_E_BADSTATE);
    EXPECT_EQ(streaming.calc->ReindexCachedData(0, 0, 1), KVD_E_BADSTATE);

    Filter filter(samples, true);
    CalcInstanceAttributes attributes = 0;
    filter.calc->GetInstanceAttributes(&attributes);
    EXPECT_EQ(attributes, 0x20008000u);
    BlockUpdateType needed = 9;
    filter.calc->IsUpdateNeeded(0, 0, &needed);
    EXPECT_EQ(needed, 0u);
    filter.calc->IsUpdateNeeded(0, 2, &needed);
    EXPECT_EQ(needed, 0x40000000u);
    double value = 0;
    IUnitName* unit = nullptr;
    EXPECT_EQ(filter.calc->GetOutputInfo(&value, &unit), KVD_S_OK);
    EXPECT_EQ(value, 0.01);
    EXPECT_EQ(unit, filter.unit);
    unit->Release();

    AutoBool filling = 0;
    EXPECT_EQ(filter.stream->IsFilling(&filling), KVD_S_OK);
    EXPECT_EQ(filling, kAutoTrue);
    filter.Pull(100);
    float extra = 0;
    uint32_t got = 9;
    EXPECT_EQ(filter.stream->Next(1, &extra, &got), CalcTest::kEndOfData);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(filter.stream->IsFilling(&filling), CalcTest::kEndOfData);
    EXPECT_EQ(filling, kAutoFalse);

    EXPECT_EQ(filter.calc->ReleaseSources(), KVD_S_OK);
    EXPECT_EQ(filter.calc->SetInitialPosition(0), KVD_E_BADSTATE);
    IUnknown* none[] = {filter.unit};
    EXPECT_EQ(filter.calc->SetSources(0, 1, none, nullptr, 1.0, 0), KVD_E_BADSTATE);
}

}  // namespace
