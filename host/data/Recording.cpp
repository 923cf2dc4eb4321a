#include "host/data/Recording.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "host/data/CsvRecordingReader.h"
#include "host/data/Excerpt.h"
#include "host/data/EdfRecordingReader.h"

namespace Host {
namespace {

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

int16_t ChannelFormat::Raw(double physical) const
{
    const double raw = std::round(physical / scale - offset);
    return static_cast<int16_t>(std::clamp(raw, -32768.0, 32767.0));
}

double LocalSecondsOf(int year, int month, int day, int hour, int minute, double second)
{
    // Days from 1970-01-01 of a proleptic Gregorian date, counted in eras of 400 years.
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const double days = double(era) * 146097 + dayOfEra - 719468;
    return days * 86400.0 + hour * 3600.0 + minute * 60.0 + second;
}

CalendarTime CalendarOf(double localSeconds)
{
    const double days = std::floor(localSeconds / 86400.0);
    double rest = localSeconds - days * 86400.0;
    // The civil date of a day count, by eras of 400 years (the inverse of LocalSecondsOf).
    const long long z = static_cast<long long>(days) + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long mp = (5 * dayOfYear + 2) / 153;
    CalendarTime t{};
    t.day = int(dayOfYear - (153 * mp + 2) / 5 + 1);
    t.month = int(mp < 10 ? mp + 3 : mp - 9);
    t.year = int(yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0));
    t.hour = int(rest / 3600.0);
    rest -= t.hour * 3600.0;
    t.minute = int(rest / 60.0);
    t.second = rest - t.minute * 60.0;
    return t;
}

Recording::Recording(std::string path, double tickRate, std::vector<ChannelFormat> channels)
    : mPath(std::move(path)),
      mTickRate(tickRate),
      mChannels(std::move(channels)),
      mStartTime(std::nan("")),
      mToUniversal(std::nan(""))
{
    if (!(mTickRate > 0.0) || !std::isfinite(mTickRate))
        throw RecordingError(mPath + ": the tick rate must be a positive number");
    if (mTickRate < kMinTickRate || mTickRate > kMaxTickRate)
        throw RecordingError(mPath + ": a rate of " + Number(mTickRate) + " samples per second is beyond what can be "
                             "represented (" + Number(kMinTickRate) + " to " + Number(kMaxTickRate) + ")");
    for (const ChannelFormat& channel : mChannels) {
        const double values[] = {channel.Physical(-32768), channel.Physical(32767)};
        for (double value : values)
            if (!(std::fabs(value) <= kMaxMagnitude))
                throw RecordingError(mPath + ": channel \"" + Excerpt(channel.title) + "\": the value " +
                                     Number(value) + " cannot be represented (values must lie within +-" +
                                     Number(kMaxMagnitude) + ")");
    }
}

int Recording::FindChannel(const std::string& title) const
{
    for (size_t i = 0; i < mChannels.size(); ++i)
        if (mChannels[i].title == title)
            return static_cast<int>(i);
    return -1;
}

void Recording::SetStartTime(double localSeconds, double toUniversal)
{
    mStartTime = localSeconds;
    mToUniversal = toUniversal;
}

double Recording::RecordStartTime(size_t index) const
{
    uint64_t ticks = 0;
    for (size_t r = 0; r < index && r < mRecords.size(); ++r)
        ticks += mRecords[r].ticks;
    return mStartTime + double(ticks) / mTickRate;
}

void Recording::AddRecord(RecordBlock record)
{
    if (record.samples.size() != mChannels.size())
        throw RecordingError(mPath + ": a record must hold every channel");
    for (const auto& channel : record.samples)
        if (channel.size() != record.ticks)
            throw RecordingError(mPath + ": every channel of a record must hold the record's ticks");
    mRecords.push_back(std::move(record));
}

void Recording::ExtendLastRecord(uint32_t ticks, const int16_t* samples)
{
    if (mRecords.empty())
        throw RecordingError(mPath + ": no record to extend");
    RecordBlock& last = mRecords.back();
    if (uint64_t(last.ticks) + ticks > kMaxTicks)
        throw RecordingError(mPath + ": a record cannot hold more ticks");
    for (size_t channel = 0; channel < mChannels.size(); ++channel)
        last.samples[channel].insert(last.samples[channel].end(), samples + channel * ticks,
                                     samples + (channel + 1) * ticks);
    last.ticks += ticks;
}

std::string RecordingExtension(const std::string& path)
{
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

namespace {

// Refuses what is not a regular file before anything opens it: a FIFO would block the
// reader, a device would be read without end. A name that opens nothing may be of any length,
// and is quoted by a piece.
void CheckRegularFile(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        throw RecordingError(PathExcerpt(path) + ": the file cannot be opened: " + std::strerror(errno));
    if (S_ISDIR(st.st_mode))
        throw RecordingError(path + ": a folder, not a recording");
    if (!S_ISREG(st.st_mode))
        throw RecordingError(path + ": not a regular file (a device, FIFO or socket cannot be a recording)");
}

Recording Load(const std::string& path)
{
    const std::string ext = RecordingExtension(path);
    if (ext != "edf" && ext != "csv")
        throw RecordingError(PathExcerpt(path) + ": unknown kind of recording (expected .edf or .csv)");
    CheckRegularFile(path);
    return ext == "edf" ? ReadEdfRecording(path) : ReadCsvRecording(path);
}

}  // namespace

double RecordCost(uint64_t channels)
{
    constexpr double kLeastChunk = 32;
    const double perChannel = double(channels);
    return 4.0 * sizeof(RecordBlock) + std::max(kLeastChunk, perChannel * sizeof(std::vector<int16_t>)) +
           perChannel * kLeastChunk;
}

uint64_t MostTicks(uint64_t channels, uint64_t records)
{
    const double cost = double(records) * RecordCost(channels);
    if (cost >= double(kMaxExpandedBytes))
        return 0;
    if (channels == 0)
        return kMaxTicks;
    const uint64_t room = kMaxExpandedBytes - uint64_t(cost);
    return std::min<uint64_t>(kMaxTicks, room / (channels * sizeof(int16_t)));
}

void CheckExpandedSize(const std::string& path, uint64_t channels, uint64_t ticks, uint64_t records)
{
    if (records > kMaxRecords)
        throw RecordingError(path + ": " + std::to_string(records) + " records are more than the " +
                             std::to_string(kMaxRecords) + " a recording may have");
    // Made only when refused: a reader checks after every row.
    const auto tooMuch = [&](const std::string& in, const std::string& besides) {
        return RecordingError(path + ": " + std::to_string(channels) + " channels of " + std::to_string(ticks) +
                              " samples each" + in + " would take more than the " +
                              std::to_string(kMaxExpandedBytes >> 20) + " MiB a recording may take in memory" +
                              besides);
    };
    if (ticks <= MostTicks(channels, records))
        return;
    // Said without the records when the samples alone are too many.
    const uint64_t limit = kMaxExpandedBytes / sizeof(int16_t);
    if (ticks > kMaxTicks || (channels > 0 && ticks > limit / channels))
        throw tooMuch("", ticks > kMaxTicks ? " (and a record may hold at most " + std::to_string(kMaxTicks) +
                                                  " samples)" : "");
    throw tooMuch(" in " + std::to_string(records) + " records", "");
}

Recording LoadRecording(const std::string& path)
{
    try {
        return Load(path);
    } catch (const std::bad_alloc&) {
        throw RecordingError(path + ": there is not enough memory to read it");
    }
}

}  // namespace Host
