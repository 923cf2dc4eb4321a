// A recording as the host keeps it: records (blocks) of channels sampled at one tick rate,
// each channel stored as 16-bit values with its units conversion.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace Host {

// A file that cannot be read: the message names the file, the place and what is wrong.
class RecordingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a recording may hold. Samples reach the calculations as floats and are summed over
// whole records: a channel's physical values must stay within kMaxMagnitude, the tick rate
// within kMinTickRate to kMaxTickRate, and a record within kMaxTicks ticks (positions are
// 32-bit). A reader must not expand a file into more than kMaxExpandedBytes of samples. A
// recording has at most kMaxChannels channels, as many as an EDF file holds, so that every
// recording read can be written as EDF, and at most kMaxRecords records: a record costs its
// bookkeeping besides its samples (RecordCost), which a file of short records, a CSV whose rows
// are split by gaps, would make many times its size.
constexpr double kMaxMagnitude = 1e15;
constexpr double kMinTickRate = 1e-3;
constexpr double kMaxTickRate = 1e7;
constexpr uint32_t kMaxTicks = 0x7FFFFFFF;
constexpr uint64_t kMaxExpandedBytes = uint64_t(1) << 30;
constexpr size_t kMaxChannels = 640;
constexpr size_t kMaxRecords = 10000;

struct ChannelFormat {
    std::string title;
    std::string unit;
    double scale = 1.0;   // physical = (raw + offset) * scale
    double offset = 0.0;
    // The stored values at the ends of the channel's full range: a recorder of fewer than 16
    // bits spans less than the 16-bit values.
    int16_t lowest = -32768;
    int16_t highest = 32767;

    double Physical(int16_t raw) const { return (raw + offset) * scale; }
    // The nearest stored value of a physical value, clamped to the 16-bit range.
    int16_t Raw(double physical) const;
};

// A note at a time of the recording (an EDF+ annotation); the recording's events.
struct Annotation {
    double onset;  // seconds from the start of the first record
    std::string text;
};

// The channel number under which a recording's annotations are its event channel.
constexpr int32_t kAnnotationChannel = 0x7FFE;

struct RecordBlock {
    uint32_t ticks = 0;
    std::vector<std::vector<int16_t>> samples;  // one vector of `ticks` values per channel
};

class Recording {
public:
    // Throws RecordingError for a tick rate or a channel's physical range (that of its 16-bit
    // values) beyond the limits above.
    Recording(std::string path, double tickRate, std::vector<ChannelFormat> channels);

    const std::string& Path() const { return mPath; }
    double TickRate() const { return mTickRate; }
    double SecondsPerTick() const { return 1.0 / mTickRate; }

    size_t ChannelCount() const { return mChannels.size(); }
    const ChannelFormat& Channel(size_t index) const { return mChannels.at(index); }
    // Index of the first channel with this title, or -1.
    int FindChannel(const std::string& title) const;

    size_t RecordCount() const { return mRecords.size(); }
    const RecordBlock& Record(size_t index) const { return mRecords.at(index); }
    // Appends a record; every channel must hold exactly `ticks` samples.
    void AddRecord(RecordBlock record);
    // Appends `ticks` ticks to the last record (live sampling): `samples` holds the stored
    // values, channel after channel.
    void ExtendLastRecord(uint32_t ticks, const int16_t* samples);

    // When the first record started: local clock seconds from the start of 1 January 1970, and
    // the seconds to add for universal time; either not finite when unknown.
    void SetStartTime(double localSeconds, double toUniversal);
    double StartTime() const { return mStartTime; }
    double ToUniversal() const { return mToUniversal; }
    // When a record started: the records lie end to end from the first one's start.
    double RecordStartTime(size_t index) const;

    const std::vector<Annotation>& Annotations() const { return mAnnotations; }
    void AddAnnotation(Annotation annotation) { mAnnotations.push_back(std::move(annotation)); }

    double PhysicalAt(size_t record, size_t channel, uint32_t tick) const
    {
        return mChannels[channel].Physical(mRecords[record].samples[channel][tick]);
    }

private:
    std::string mPath;
    double mTickRate;
    std::vector<ChannelFormat> mChannels;
    std::vector<RecordBlock> mRecords;
    std::vector<Annotation> mAnnotations;
    double mStartTime;
    double mToUniversal;
};

// Local clock seconds from the start of 1 January 1970 of a calendar date and time of day.
double LocalSecondsOf(int year, int month, int day, int hour, int minute, double second);

// The calendar date and time of day of such seconds.
struct CalendarTime {
    int year, month, day, hour, minute;
    double second;
};
CalendarTime CalendarOf(double localSeconds);

// The bytes a record of these channels costs besides its samples: its block, held by the reader
// and by the recording (each a vector that may be twice its size while it grows), and a vector
// of samples a channel, each at least the allocator's least chunk.
double RecordCost(uint64_t channels);

// The most ticks a recording of these channels in this many records may hold: its samples
// within kMaxExpandedBytes with its records' cost, and within kMaxTicks. (The cost of kMaxRecords
// records of kMaxChannels channels is well within kMaxExpandedBytes.)
uint64_t MostTicks(uint64_t channels, uint64_t records = 1);

// Throws RecordingError naming the file when a recording of these channels, ticks in all and
// records would hold more than MostTicks, or holds more than kMaxRecords records.
void CheckExpandedSize(const std::string& path, uint64_t channels, uint64_t ticks, uint64_t records = 1);

// The extension of a recording's name, in lower case ("edf", "csv"), by which LoadRecording
// chooses its reader; empty when the name has none.
std::string RecordingExtension(const std::string& path);

// Reads an EDF, EDF+ or CSV recording, chosen by the file's extension. Anything but a regular
// file (a FIFO, a device, a folder) is refused unread; running out of memory is reported as a
// RecordingError naming the file.
Recording LoadRecording(const std::string& path);

}  // namespace Host
