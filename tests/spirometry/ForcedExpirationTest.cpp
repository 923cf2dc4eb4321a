// FEV1 of forced breaths as people breathe them: timed from the expiration's start however
// long the hold at full inspiration, and never read past the breath's end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "SpiroDocumentHost.h"
#include "spirometry/BreathFigures.h"
#include "spirometry/ForcedExpiration.h"

using namespace Spirometry;
using TestSupport::FlowScript;

namespace {

constexpr double kFvc = 3.5, kTe = 5.0, kTau = 0.5;
constexpr double kRate = 100;

class ForcedExpirationTest : public SpiroTest::SpiroDocumentHost {
protected:
    // The script's flow-head recording, analysed.
    void Analyse(const FlowScript& script)
    {
        CreateAnalysedDocument(SpiroTest::FlowHeadRecording(script, kRate));
        ASSERT_TRUE(mDoc->ValidSelection(false, true, nullptr));
    }
    std::vector<const Breath*> Forced() const
    {
        std::vector<const Breath*> forced;
        const BreathList& breaths = mDoc->Machine().Breaths();
        for (unsigned i = 0; i < breaths.GetCount(); ++i)
            if (breaths[i]->forced)
                forced.push_back(breaths[i]);
        return forced;
    }
    BreathFigures Figures(const Breath& breath) const { return BreathFigures::Of(*mDoc, breath, 1.0); }
};

void ExpectWithin(double actual, double truth, const std::string& what)
{
    EXPECT_LE(std::fabs(actual - truth), std::max(0.03 * truth, 0.05)) << what << ": " << actual << " for " << truth;
}

// Quiet breaths, a forced breath of 3.5 L held at full inspiration, quiet breaths. Time zero is
// the last sample before the blast, whatever the hold; without one it is the highest volume's
// sample, as FEV1 was always read.
TEST_F(ForcedExpirationTest, AHoldAtFullInspirationLeavesFev1AsWithout)
{
    const double truth = FlowScript::ExponentialFev1(kTe, kFvc, kTau);
    for (double hold : {0.0, 0.2, 0.5, 1.0, 2.0}) {
        for (double noise : {0.0, 0.002}) {
            const std::string what = "hold " + std::to_string(hold) + " s, noise " + std::to_string(noise);
            FlowScript script;
            script.MidTick().Rest(1).Quiet(6).Inspire(2.0, kFvc).Rest(hold);
            const size_t blast = script.Ticks(kRate);
            script.ExpireExponential(kTe, kFvc, kTau).Quiet(6).Rest(1).NormalNoise(noise, 5);
            Analyse(script);
            const std::vector<const Breath*> forced = Forced();
            ASSERT_EQ(forced.size(), 1u) << what;
            const Breath& breath = *forced[0];
            const BreathFigures figures = Figures(breath);
            ASSERT_TRUE(figures.hasFev1) << what;
            ExpectWithin(figures.fev1, truth, what);
            const KVDPosition zero = ForcedExpiration::TimeZero(*mDoc, breath);
            EXPECT_NEAR(double(zero.tick), blast - 1, noise == 0.0 ? 0 : 1) << what;
            if (hold == 0.0 && noise == 0.0) {
                EXPECT_EQ(zero.tick, breath.maxVolumePos.tick) << what;
            }
            TearDown();
        }
    }
}

// Expirations over within a second, each at once followed by a deep inspiration: FEV1 is the
// breath's FVC, never what the next breath takes in; no forced breath has FEV1 below none or
// above its FVC.
TEST_F(ForcedExpirationTest, AnExpirationOverWithinASecondGivesItsWholeVolume)
{
    struct Case {
        const char* what;
        double fvc, te, next, ti;
    } cases[] = {{"3 L out in 0.6 s, 3 L in over 0.8 s", 3.0, 0.6, 3.0, 0.8},
                 {"2 L out in 0.5 s, 4 L in over 0.5 s", 2.0, 0.5, 4.0, 0.5}};
    for (const Case& c : cases) {
        for (double noise : {0.0, 0.002, 0.02}) {
            const std::string what = std::string(c.what) + ", noise " + std::to_string(noise);
            FlowScript script;
            script.MidTick().Rest(1).Quiet(8).Inspire(2.0, c.fvc);
            const size_t start = script.Ticks(kRate);
            script.Expire(c.te, c.fvc).Inspire(c.ti, c.next).Expire(3.0, c.next).Quiet(4).Rest(1).NormalNoise(noise, 9);
            Analyse(script);
            const std::vector<const Breath*> forced = Forced();
            ASSERT_EQ(forced.size(), 2u) << what;
            for (const Breath* breath : forced) {
                const BreathFigures f = Figures(*breath);
                ASSERT_TRUE(f.hasFev1) << what;
                EXPECT_GE(f.fev1, 0.0f) << what;
                EXPECT_LE(f.fev1, f.volume) << what;
            }
            const BreathFigures shortOne = Figures(*forced[0]);
            EXPECT_NEAR(double(forced[0]->maxVolumePos.tick), start, 2) << what;
            ExpectWithin(shortOne.volume, c.fvc, what + " FVC");
            EXPECT_EQ(shortOne.fev1, shortOne.volume) << what;
            EXPECT_EQ(shortOne.Fev1Percent(), 100.0) << what;
            TearDown();
        }
    }
}

// The data end inside a forced expiration before a second has passed: its FEV1 is not known.
TEST_F(ForcedExpirationTest, DataEndingWithinTheFirstSecondGiveNoFev1)
{
    FlowScript script;
    script.MidTick().Rest(1).Quiet(3).Inspire(2.0, 3.0).Expire(0.8, 3.0);
    Analyse(script);
    const BreathList& breaths = mDoc->Machine().Breaths();
    ASSERT_EQ(breaths.GetCount(), 4u);
    const Breath& last = *breaths[3];
    ASSERT_TRUE(last.forced);
    EXPECT_EQ(last.end.tick, uint32_t(script.Ticks(kRate)));
    EXPECT_FALSE(Figures(last).hasFev1);
    EXPECT_FALSE(ForcedExpiration::Of(*mDoc, last, 1.0).read);
}

}  // namespace
