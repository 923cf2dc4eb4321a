// spirohost sample: live sampling of the simulated flow head and of a replayed recording on the
// real clock, written as EDF, with its error paths.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>

#include "RunCommand.h"
#include "host/data/EdfRecordingWriter.h"
#include "host/data/Recording.h"
#include "host/synth/SyntheticBreathing.h"

namespace {

using TestSupport::RunCommand;
using TestSupport::Spirohost;

std::string Temp(const std::string& name) { return ::testing::TempDir() + "sample_" + std::to_string(getpid()) + name; }

TEST(SampleCommand, WritesWholeSecondsOfTheFlowHead)
{
    const std::string edf = Temp(".edf");
    int status = -1;
    const std::string out = RunCommand(Spirohost() + " sample " + edf + " --seconds 1 --channels 2", &status);
    ASSERT_EQ(status, 0) << out;
    const Host::Recording r = Host::LoadRecording(edf);
    ASSERT_EQ(r.ChannelCount(), 2u);
    ASSERT_EQ(r.RecordCount(), 1u);
    EXPECT_EQ(r.Record(0).ticks, 1000u);
    const Host::SyntheticBreathing breathing{Host::SyntheticOptions{}};
    for (uint32_t tick : {0u, 500u, 999u})
        EXPECT_NEAR(r.PhysicalAt(0, 1, tick), breathing.Flow(tick / 1000.0) / 2.0, 0.000125) << tick;
}

TEST(SampleCommand, ReplaysARecordingAsIfSampled)
{
    const std::string source = Temp("_source.edf"), edf = Temp("_replay.edf");
    Host::Recording recording(source, 100, {{"Flow", "L/s", 0.01, 0}});
    Host::RecordBlock block;
    block.ticks = 100;
    block.samples.resize(1);
    for (int t = 0; t < 100; ++t)
        block.samples[0].push_back(int16_t(t * 3 - 150));
    recording.AddRecord(block);
    Host::WriteEdfRecording(source, recording);
    int status = -1;
    const std::string out =
        RunCommand(Spirohost() + " sample " + edf + " --seconds 2 --replay " + source, &status);
    ASSERT_EQ(status, 0) << out;
    const Host::Recording r = Host::LoadRecording(edf);
    ASSERT_EQ(r.Record(0).ticks, 200u);
    for (uint32_t tick : {0u, 42u, 99u, 100u, 142u})
        EXPECT_NEAR(r.PhysicalAt(0, 0, tick), recording.PhysicalAt(0, 0, tick % 100), 0.011) << tick;
}

TEST(SampleCommand, RefusesBadArgumentsAndMissingFiles)
{
    struct Case {
        std::string args;
        int status;
    } cases[] = {{"--seconds 0", 2}, {"--channels 17", 2}, {"--replay /nonexistent.edf", 1}};
    for (const auto& c : cases) {
        int status = -1;
        RunCommand(Spirohost() + " sample " + Temp("_bad.edf") + " " + c.args + " 2>/dev/null", &status);
        EXPECT_EQ(status, c.status) << c.args;
    }
    // A replay samples every channel of its recording: a count of channels has no place there.
    int status = -1;
    EXPECT_EQ(RunCommand(Spirohost() + " sample " + Temp("_bad.edf") + " --channels 3 --replay " + SPIRO_TEST_DATA_DIR +
                             "/sample.edf 2>&1",
                         &status),
              "spirohost sample: --channels is for the simulated flow head: a replay samples every channel of its "
              "recording\n");
    EXPECT_EQ(status, 2);
}

}  // namespace
