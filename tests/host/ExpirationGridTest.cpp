// The expiratory-only tidal volume's breaths, cut by the host's cycle detection, over flow that
// departs from the clean case: every closed expiration shows its own volume, and so does the
// late part of the rest before it, clean and with noise, at 100 Hz and 1 kHz.
#include <gtest/gtest.h>

#include <vector>

#include "host/ExpirationGrid.h"

namespace {

using ExpirationGrid::Case;

// Noise under 1 % of the smallest expiration's peak flow at 1 kHz, and 0.005 L/s at 100 Hz.
double NoiseAt(double rate)
{
    return rate < 1000.0 ? 0.005 : 0.003;
}

void ExpectEveryCaseRight(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        for (double rate : {100.0, 1000.0}) {
            for (bool noisy : {false, true}) {
                TestSupport::FlowScript script = c.script;
                if (noisy)
                    script.Noise(NoiseAt(rate));
                const std::vector<float> flow = script.Flow(rate);
                const TestSupport::FlowScript::Wrong wrong = script.Judge(ExpirationGrid::Tidal(flow, rate), rate);
                EXPECT_EQ(wrong.expirations + wrong.rests, 0)
                    << c.name << ", " << rate << " Hz" << (noisy ? ", with noise: " : ": ") << wrong.detail;
            }
        }
    }
}

// Blips and sniffs in a rest, the one before the first expiration included, neither switch the
// return rule off for the expirations after them nor cut the rest they lie in.
TEST(ExpirationGrid, LonePositiveArtefactsCutNothing)
{
    ExpectEveryCaseRight(ExpirationGrid::Artefacts());
}

// Breathing both ways that turns expiration-only is cut at each expiration's return from the
// first expiration on its own, and at the inspirations again once it breathes both ways.
TEST(ExpirationGrid, BreathingThatTurnsExpirationOnlyAndBack)
{
    ExpectEveryCaseRight(ExpirationGrid::Turns());
}

// However far into the first cycle the recording begins (inside its rest, before or after the
// expiration's deepest point), the first whole expiration is a cycle of its own.
TEST(ExpirationGrid, RecordingCutAtEveryTenthOfTheFirstCycle)
{
    ExpectEveryCaseRight(ExpirationGrid::Cuts());
}

// Noise in the rest before the first expiration, before the signal's size is known, cuts
// nothing either, with an artefact in it or none, for many of the noise's draws.
TEST(ExpirationGrid, NoiseBeforeTheFirstExpirationCutsNothing)
{
    const double rate = 100.0;
    std::vector<Case> cases = ExpirationGrid::Cuts();
    const std::vector<Case> artefacts = ExpirationGrid::ArtefactsBefore(0);
    cases.insert(cases.end(), artefacts.begin(), artefacts.end());
    for (unsigned seed = 1; seed <= 15; ++seed) {
        for (const Case& c : cases) {
            TestSupport::FlowScript script = c.script;
            script.Noise(NoiseAt(rate), seed);
            const TestSupport::FlowScript::Wrong wrong =
                script.Judge(ExpirationGrid::Tidal(script.Flow(rate), rate), rate);
            EXPECT_EQ(wrong.expirations + wrong.rests, 0) << c.name << ", noise drawn from " << seed << ": "
                                                          << wrong.detail;
        }
    }
}

// The judge itself: a channel that merged the first two expirations, or showed a rest's late
// part in the cycle before it, is caught; the last expiration, which nothing closes, is not
// judged.
TEST(ExpirationGrid, JudgeCountsWrongExpirationsAndRests)
{
    const TestSupport::FlowScript script = ExpirationGrid::Expirations({0.6, 0.8, 0.5});
    const double rate = 100.0;
    const std::vector<double> right = ExpirationGrid::Tidal(script.Flow(rate), rate);
    auto wrongWith = [&](size_t from, size_t to, double value) {
        std::vector<double> tidal = right;
        for (size_t tick = from; tick < to; ++tick)
            tidal[tick] = value;
        const TestSupport::FlowScript::Wrong wrong = script.Judge(tidal, rate);
        return std::vector<int>{wrong.expirations, wrong.rests};
    };
    EXPECT_EQ(wrongWith(0, 0, 0.0), (std::vector<int>{0, 0}));
    // The second rest's late part and the second expiration show both expirations' volumes.
    EXPECT_EQ(wrongWith(550, 800, 0.6 + 0.8), (std::vector<int>{1, 1}));
    // The last sample of the first rest shows a cycle of its own.
    EXPECT_EQ(wrongWith(199, 200, 0.001), (std::vector<int>{0, 1}));
    EXPECT_EQ(wrongWith(1000, 1200, 0.0), (std::vector<int>{0, 0}));
    // The expirations of the clean recording lie where the script put them.
    const std::vector<TestSupport::FlowScript::Expiration> expirations = script.Expirations();
    ASSERT_EQ(expirations.size(), 3u);
    EXPECT_DOUBLE_EQ(expirations[1].onset, 6.0);
    EXPECT_DOUBLE_EQ(expirations[1].end, 8.0);
    EXPECT_DOUBLE_EQ(expirations[1].restBefore, 2.0);
    EXPECT_DOUBLE_EQ(expirations[1].volume, 0.8);
}

}  // namespace
