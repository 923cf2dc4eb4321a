// When a recording started, as its file says: an EDF header's local start date and time; a CSV
// file does not say.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "host/data/EdfRecordingWriter.h"
#include "host/data/Recording.h"
#include "support/EdfBytes.h"
#include "support/TempFolder.h"

namespace {

const TestSupport::TempFolder gFolder;

TEST(RecordingStart, AnEdfHeadersDateAndTimeAreTheLocalStartOfItsFirstRecord)
{
    // The header's start: 01.02.26 10.20.30, a two-digit year below 85 in this century.
    const std::string path = gFolder.Write("clock.edf", TestSupport::EdfBytes({TestSupport::EdfSignal()}, 3)).string();
    const Host::Recording recording = Host::LoadRecording(path);
    EXPECT_EQ(recording.StartTime(), Host::LocalSecondsOf(2026, 2, 1, 10, 20, 30.0));
    EXPECT_EQ(std::fmod(recording.StartTime(), 86400.0), 10 * 3600.0 + 20 * 60.0 + 30.0);
    EXPECT_TRUE(std::isnan(recording.ToUniversal()));
    EXPECT_EQ(recording.RecordStartTime(0), recording.StartTime());
}

TEST(RecordingStart, CalendarDatesAndSecondsConvertBothWays)
{
    const Host::CalendarTime leap = Host::CalendarOf(Host::LocalSecondsOf(2024, 2, 29, 23, 59, 59.25));
    EXPECT_EQ(leap.year, 2024);
    EXPECT_EQ(leap.month, 2);
    EXPECT_EQ(leap.day, 29);
    EXPECT_EQ(leap.hour, 23);
    EXPECT_EQ(leap.minute, 59);
    EXPECT_DOUBLE_EQ(leap.second, 59.25);
    const Host::CalendarTime before = Host::CalendarOf(-1.0);  // the last second of 1969
    EXPECT_EQ(before.year, 1969);
    EXPECT_EQ(before.month, 12);
    EXPECT_EQ(before.day, 31);
    EXPECT_EQ(before.hour, 23);
    EXPECT_EQ(before.second, 59.0);
}

TEST(RecordingStart, AWrittenEdfFileKeepsTheStartItWasGiven)
{
    const std::string source = gFolder.Write("source.edf", TestSupport::EdfBytes({TestSupport::EdfSignal()}, 2)).string();
    Host::Recording recording = Host::LoadRecording(source);
    const double start = Host::LocalSecondsOf(2031, 7, 14, 8, 5, 3.5);
    recording.SetStartTime(start, std::nan(""));
    const std::string copy = (gFolder.Path() / "copy.edf").string();
    Host::WriteEdfRecording(copy, recording);
    EXPECT_EQ(Host::LoadRecording(copy).StartTime(), start);
}

TEST(RecordingStart, ACsvFileHasNoKnownStart)
{
    const std::string path = gFolder.Write("plain.csv", "time, Flow [L/s]\n0, 0.1\n0.01, 0.2\n").string();
    const Host::Recording recording = Host::LoadRecording(path);
    EXPECT_TRUE(std::isnan(recording.StartTime()));
    EXPECT_TRUE(std::isnan(recording.RecordStartTime(0)));
}

}  // namespace
