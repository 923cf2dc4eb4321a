// Breath detection over a host data document: the formula run by the host's composite
// enumerator, breaths made from its events, forced breaths, and what a run keeps.

#include <gtest/gtest.h>

#include <memory>

#include "BreathSignals.h"
#include "DetectorClasses.h"
#include "IEnumFloatEx.h"
#include "host/data/Adopt.h"
#include "host/data/DocumentData.h"
#include "spirometry/SpiroMachine.h"

namespace {

using Spirometry::Breath;
using Spirometry::BreathList;
using Spirometry::SpBreathEvent;
using Spirometry::SpiroMachine;
using SpiroTest::BreathShape;
using SpiroTest::BreathSignal;

constexpr int32_t kFlow = 0, kVolume = 1;
const Host::ChannelFormat kFlowFormat{"Flow", "L/s", 10.0 / 32000, 0.0};  // full range 10 L/s
const Host::ChannelFormat kVolumeFormat{"Volume", "L", 1e-4, 0.0};

struct Owner : SpiroMachine::Document {
    int32_t GetRawFlowChannel() const override { return raw; }
    double GetCustomConstant() const override { return custom; }
    int32_t raw = kFlow;
    double custom = 1.0;
};

BreathSignal Breathing(int quiet, bool forced)
{
    BreathSignal s;
    s.Quiet(300);
    for (int i = 0; i < quiet; ++i)
        s.Breath({401 + 20 * i, 601, 0.5f, 0.35f});
    if (forced)
        s.Breath({1001, 3001, 3.0f, 6.0f, 400.0});
    s.Breath({401, 601, 0.5f, 0.35f});
    s.Closing();
    s.Quiet(100);
    s.Integrate();
    return s;
}

// A host data document with one record per signal, flow and volume as recorded channels.
class MachineTest : public ::testing::Test {
protected:
    void Record(std::vector<BreathSignal> records)
    {
        auto recording = std::make_shared<Host::Recording>("breathing", 1000.0,
                                                           std::vector<Host::ChannelFormat>{kFlowFormat, kVolumeFormat});
        for (const BreathSignal& s : records) {
            Host::RecordBlock block;
            block.ticks = static_cast<uint32_t>(s.flow.size());
            block.samples.resize(2);
            for (size_t i = 0; i < s.flow.size(); ++i) {
                block.samples[0].push_back(kFlowFormat.Raw(s.flow[i]));
                block.samples[1].push_back(kVolumeFormat.Raw(s.volume[i]));
            }
            recording->AddRecord(std::move(block));
        }
        mSignals = std::move(records);
        mData = Host::Adopt(Host::DocumentData::Create(recording));
        settings.mSpFlowCalcChan = kFlow;
        settings.mSpVolCalcChan = kVolume;
    }

    IRecordData* Data() { return mData.get(); }
    int Go(KVDPosition start, KVDPosition end, bool force = false) { return machine.Go(Data(), start, end, force); }
    int GoWhole(int record = 0, bool force = false)
    {
        return Go({0, record}, {static_cast<uint32_t>(mSignals[record].flow.size()), record}, force);
    }

    // A channel of a record as the host serves it.
    std::vector<float> Samples(int32_t channel, int record)
    {
        KVD::COMPtr<IEnumFloatEx> stream;
        Data()->GetFloatStream(TChannelId{channel, 0xC0001000}, KVDPosition{0, record}, kRecordEndTick, stream.Set());
        std::vector<float> samples(mSignals[record].flow.size());
        uint32_t got = 0;
        stream->Next(static_cast<uint32_t>(samples.size()), samples.data(), &got);
        samples.resize(got);
        return samples;
    }

    // The breaths the two detectors find on the served samples of a record at the level.
    std::vector<SpBreathEvent> Expected(int record, const wchar_t* level = L"0.1")
    {
        SpiroTest::Streams streams;
        SpiroTest::Detector<Spirometry::SpFlowEnumerator> cycles(level, {streams.Of(Samples(kFlow, record))});
        SpiroTest::Detector<Spirometry::SpVolEnumerator> breaths(L"", {streams.Of(Samples(kVolume, record)),
                                                                      cycles.Events()});
        return breaths.ReadAll();
    }

    std::vector<const Breath*> Listed() const
    {
        std::vector<const Breath*> out;
        for (unsigned i = 0; i < machine.Breaths().GetCount(); ++i)
            out.push_back(machine.Breaths()[i]);
        return out;
    }

    Owner owner;
    Spirometry::SpConfig settings;
    SpiroMachine machine{owner, settings};
    std::vector<BreathSignal> mSignals;
    KVD::COMPtr<Host::DocumentData> mData;
};

void ExpectBreathOf(const Breath& b, const SpBreathEvent& e, int32_t record)
{
    auto at = [record](int32_t tick) { return KVDPosition{static_cast<uint32_t>(tick), record}; };
    auto same = [](KVDPosition a, KVDPosition b) { return a.tick == b.tick && a.record == b.record; };
    EXPECT_TRUE(same(b.start, at(e.flow.startTick)));
    EXPECT_TRUE(same(b.end, at(e.flow.endTick)));
    EXPECT_TRUE(same(b.peakPositiveFlowPos, at(e.flow.maxFlowTick)));
    EXPECT_TRUE(same(b.peakNegativeFlowPos, at(e.flow.minFlowTick)));
    EXPECT_TRUE(same(b.reversalPos, at(e.flow.reversalTick)));
    EXPECT_TRUE(same(b.maxVolumePos, at(e.maxVolTick)));
    EXPECT_TRUE(same(b.minVolumePos, at(e.minVolTick)));
    EXPECT_EQ(b.peakPositiveFlow, e.flow.maxFlow);
    EXPECT_EQ(b.peakNegativeFlow, e.flow.minFlow);
    EXPECT_EQ(b.maxVolume, e.maxVol);
    EXPECT_EQ(b.minVolume, e.minVol);
    EXPECT_EQ(b.excluded, e.flow.excluded != 0);
}

TEST_F(MachineTest, DetectsTheBreathsOfTheSelectionThroughTheComposite)
{
    Record({Breathing(4, true), Breathing(3, false)});
    for (int record = 0; record < 2; ++record) {
        SCOPED_TRACE(record);
        const std::vector<SpBreathEvent> expected = Expected(record);
        ASSERT_EQ(expected.size(), mSignals[record].breaths.size());
        ASSERT_EQ(GoWhole(record), static_cast<int>(expected.size()));
        const std::vector<const Breath*> listed = Listed();
        for (size_t i = 0; i < listed.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(listed[i]->start.tick, static_cast<uint32_t>(mSignals[record].breaths[i].start));
            ExpectBreathOf(*listed[i], expected[i], record);
            // Only the forced expiration, the fifth breath of the first record.
            EXPECT_EQ(listed[i]->forced, record == 0 && i == 4);
        }
    }

    // A selection that starts inside the second breath lists the breaths that start in it.
    const std::vector<SpiroTest::KnownBreath>& known = mSignals[0].breaths;
    const uint32_t from = static_cast<uint32_t>(known[1].start + 100);
    const uint32_t to = static_cast<uint32_t>(known[4].start + 1);
    ASSERT_EQ(Go({from, 0}, {to, 0}), 3);
    EXPECT_EQ(machine.Breaths()[0]->start.tick, static_cast<uint32_t>(known[2].start));
    EXPECT_EQ(machine.Breaths()[2]->start.tick, static_cast<uint32_t>(known[4].start));
}

// A record that begins at the peak of a forced inspiration: its first cycle is the expiration
// alone, a single expiration with nothing of the next breath's inspiration; the breaths after
// it are the detectors' own.
TEST_F(MachineTest, ARecordBegunInsideAnInspirationGivesItsFirstExpirationAlone)
{
    BreathSignal s;
    s.Breath({1001, 3001, 3.0f, 6.0f, 400.0});
    s.flow.erase(s.flow.begin(), s.flow.begin() + 500);
    for (int i = 0; i < 4; ++i)
        s.Breath({401, 601, 0.5f, 0.35f});
    s.Closing();
    s.Quiet(100);
    s.Integrate();
    Record({s});
    const std::vector<SpBreathEvent> expected = Expected(0);
    ASSERT_EQ(expected.size(), 5u);
    ASSERT_EQ(GoWhole(), 5);
    const std::vector<const Breath*> listed = Listed();
    const Breath& cut = *listed[0];
    EXPECT_EQ(cut.start.tick, 501u);  // the falling crossing
    EXPECT_EQ(cut.end.tick, 3502u);
    EXPECT_TRUE(cut.excluded);
    EXPECT_FALSE(cut.forced);
    EXPECT_EQ(cut.peakPositiveFlow, 0.0);
    EXPECT_EQ(cut.peakPositiveFlowPos.tick, kNoPositionTick);
    EXPECT_EQ(cut.peakNegativeFlow, expected[0].flow.minFlow);
    EXPECT_EQ(cut.peakNegativeFlowPos.tick, 501u);
    EXPECT_EQ(cut.maxVolume, expected[0].maxVol);
    EXPECT_EQ(cut.minVolume, expected[0].minVol);
    for (size_t i = 1; i < listed.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectBreathOf(*listed[i], expected[i], 0);
        EXPECT_FALSE(listed[i]->forced);
    }
}

// A breath changed by hand shows whether the list was made again or marked again.
TEST_F(MachineTest, RunsOnlyWhenTheRangeOrTheLevelChanged)
{
    Record({Breathing(4, true)});
    ASSERT_EQ(GoWhole(), 6);
    auto tag = [this] { const_cast<Breath*>(machine.Breaths()[0])->peakPositiveFlow = -1.0; };
    auto detectedAgain = [this] { return machine.Breaths()[0]->peakPositiveFlow != -1.0; };
    auto forced = [this] { return const_cast<Breath*>(machine.Breaths()[4]); };
    tag();
    EXPECT_EQ(GoWhole(), 6);
    EXPECT_FALSE(detectedAgain());

    // A threshold change of more than 0.001 marks again without detecting; less changes nothing.
    ASSERT_TRUE(forced()->forced);
    forced()->forced = false;
    settings.mForcedExpirationThreshold = 2.0009;
    GoWhole();
    EXPECT_FALSE(forced()->forced);
    settings.mForcedExpirationThreshold = 2.0011;
    EXPECT_EQ(GoWhole(), 6);
    EXPECT_TRUE(forced()->forced);
    EXPECT_FALSE(detectedAgain());
    settings.mForcedExpirationThreshold = 20.0;
    GoWhole();
    EXPECT_FALSE(forced()->forced);

    // A level change, another volume channel and a forced run detect again.
    settings.mCycleDetectionFactor = 1.002;
    GoWhole();
    EXPECT_TRUE(detectedAgain());
    tag();
    settings.mSpVolCalcChan = kFlow;  // volume read from the flow channel: other figures
    GoWhole();
    EXPECT_TRUE(detectedAgain());
    EXPECT_EQ(machine.Breaths()[0]->maxVolume, machine.Breaths()[0]->peakPositiveFlow);
    settings.mSpVolCalcChan = kVolume;
    GoWhole();
    tag();
    EXPECT_EQ(GoWhole(0, true), 6);
    EXPECT_TRUE(detectedAgain());
}

TEST_F(MachineTest, RangesItCannotAnalyseLeaveNoBreaths)
{
    Record({Breathing(4, false), Breathing(3, false)});
    const uint32_t end0 = static_cast<uint32_t>(mSignals[0].flow.size());
    struct Case {
        const char* what;
        KVDPosition start, end;
    } cases[] = {
        {"two records", {0, 0}, {100, 1}},
        {"empty", {500, 0}, {500, 0}},
        {"unset", {0, 0}, {kNoPositionTick, kNoPositionRecord}},
        {"no crossing", {10, 0}, {250, 0}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Go({0, 0}, {end0, 0}), 5) << c.what;
        EXPECT_EQ(Go(c.start, c.end), 0) << c.what;
        EXPECT_EQ(machine.Breaths().GetCount(), 0u) << c.what;
    }
    // Back to the first selection: detected again, not the empty list of the last run.
    EXPECT_EQ(Go({0, 0}, {end0, 0}), 5);

    // The composite cannot be wired to a channel that does not exist: no breaths, and the
    // next run on the good channel detects again.
    settings.mSpFlowCalcChan = 7;
    EXPECT_EQ(GoWhole(), 0);
    EXPECT_EQ(machine.GetSpBreathEvents(false), -1);
    settings.mSpFlowCalcChan = kFlow;
    EXPECT_EQ(GoWhole(), 5);
}

TEST_F(MachineTest, FormulaLevelAndDurations)
{
    KVD::String text;
    SpiroMachine::GetArithString_EventEnum(text, 2, 4, 0.0812345678);
    EXPECT_EQ(text, KVD::String(L"(Ch5, SPEEFlow(Ch3, 0.0812346) )"));
    SpiroMachine::GetArithString_EventEnum(text, 0, 1, 250000.0);
    EXPECT_EQ(text, KVD::String(L"(Ch2, SPEEFlow(Ch1, 250000) )"));

    Record({Breathing(1, false), Breathing(1, false)});
    owner.custom = 2.0;
    // (0 + 32000) x scale x custom constant x factor / 100
    EXPECT_DOUBLE_EQ(machine.GetCycleDetectionLevel(Data(), 1.5, 1), 10.0 * 2.0 * 1.5 / 100);
    EXPECT_EQ(machine.GetCycleDetectionLevel(Data(), -1.0, 0), 0.0);
    owner.raw = 9;  // the host cannot say: a full range of 10
    EXPECT_DOUBLE_EQ(machine.GetCycleDetectionLevel(Data(), 1.5, 0), 10.0 * 1.5 / 100);

    const uint32_t ticks0 = static_cast<uint32_t>(mSignals[0].flow.size());
    EXPECT_DOUBLE_EQ(SpiroMachine::CalcDuration(Data(), {100, 0}, {50, 1}), (ticks0 + 50 - 100) / 1000.0);
    EXPECT_DOUBLE_EQ(SpiroMachine::CalcDuration(Data(), {700, 1}, {200, 1}), -0.5);
}

Breath WithVolume(double volume, bool excluded = false)
{
    Breath b;
    b.maxVolume = 1.0 + volume;
    b.minVolume = 1.0;
    b.excluded = excluded;
    return b;
}

TEST(ForcedBreaths, MarkedByTheThresholdRules)
{
    struct Case {
        const char* what;
        std::vector<Breath> breaths;
        std::vector<bool> forced;
    } cases[] = {
        {"a single breath", {WithVolume(0.5)}, {true}},
        {"a single excluded breath", {WithVolume(0.5, true)}, {false}},
        {"fewer than four: at or above the mean", {WithVolume(1), WithVolume(2), WithVolume(1.5)}, {false, true, true}},
        {"four: threshold times the mean", {WithVolume(1), WithVolume(1), WithVolume(1), WithVolume(2)},
         {false, false, false, false}},
        {"four, one beyond", {WithVolume(1), WithVolume(1), WithVolume(1), WithVolume(5)}, {false, false, false, true}},
        {"an excluded breath counts in the mean only",
         {WithVolume(1), WithVolume(1), WithVolume(1), WithVolume(9, true)}, {false, false, false, false}},
    };
    for (const Case& c : cases) {
        BreathList list;
        for (const Breath& b : c.breaths)
            list.Add(new Breath(b));
        SpiroMachine::MarkForcedBreaths(list, 2.0);
        for (unsigned i = 0; i < list.GetCount(); ++i)
            EXPECT_EQ(list[i]->forced, c.forced[i]) << c.what << " " << i;
    }
}

// Breaths that differ by less than the mean's single precision can tell are one size: pairs and
// triples of them, in either order, are all at the mean, and all forced.
TEST(ForcedBreaths, BreathsTheMeanCannotTellApartGetOneMark)
{
    auto expectAllForced = [](const std::vector<Breath>& group, const std::string& what) {
        BreathList list;
        for (const Breath& b : group)
            list.Add(new Breath(b));
        SpiroMachine::MarkForcedBreaths(list, 2.0);
        for (unsigned i = 0; i < list.GetCount(); ++i)
            EXPECT_TRUE(list[i]->forced) << what << ", " << group.size() << " breaths, breath " << i;
    };
    for (double volume : {1.0, 2.0, 2.5, 3.0, 3.5, 4.0}) {
        const Breath low = WithVolume(volume * (1 - 1e-8)), high = WithVolume(volume * (1 + 1e-8));
        for (const std::vector<Breath>& group : std::vector<std::vector<Breath>>{
                 {low, high}, {high, low}, {low, high, low}, {high, low, high}})
            expectAllForced(group, std::to_string(volume) + " L");
    }
    // Identical breaths one after another, as the volume channel measures them from its own
    // float samples: each a little higher on the channel.
    auto measured = [](float top, float bottom) {
        Breath b;
        b.maxVolume = top;
        b.minVolume = bottom;
        return b;
    };
    const Breath a = measured(1.00001299f, 2.82728306e-05f), b = measured(1.00004125f, 5.65456612e-05f),
                 c = measured(1.0000695f, 8.48184864e-05f);
    for (const std::vector<Breath>& group : std::vector<std::vector<Breath>>{{a, b}, {a, b, c}, {c, b, a}})
        expectAllForced(group, "measured 1 L");
    const Breath d = measured(4.00005102f, 0.000118169519f), e = measured(4.00016928f, 0.000236339038f),
                 f = measured(4.00028753f, 0.000354508549f);
    for (const std::vector<Breath>& group : std::vector<std::vector<Breath>>{{d, e}, {d, e, f}, {f, e, d}})
        expectAllForced(group, "measured 4 L");
}

}  // namespace
