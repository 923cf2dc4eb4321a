#include "host/data/Recording.h"

#include <algorithm>
#include <cmath>

#include "host/data/CsvRecordingReader.h"
#include "host/data/EdfRecordingReader.h"

namespace Host {

int16_t ChannelFormat::Raw(double physical) const
{
    const double raw = std::round(physical / scale - offset);
    return static_cast<int16_t>(std::clamp(raw, -32768.0, 32767.0));
}

Recording::Recording(std::string path, double tickRate, std::vector<ChannelFormat> channels)
    : mPath(std::move(path)), mTickRate(tickRate), mChannels(std::move(channels))
{
    if (!(mTickRate > 0.0) || !std::isfinite(mTickRate))
        throw RecordingError(mPath + ": the tick rate must be a positive number");
}

int Recording::FindChannel(const std::string& title) const
{
    for (size_t i = 0; i < mChannels.size(); ++i)
        if (mChannels[i].title == title)
            return static_cast<int>(i);
    return -1;
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

namespace {

std::string LowerExtension(const std::string& path)
{
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

}  // namespace

Recording LoadRecording(const std::string& path)
{
    const std::string ext = LowerExtension(path);
    if (ext == "edf")
        return ReadEdfRecording(path);
    if (ext == "csv")
        return ReadCsvRecording(path);
    throw RecordingError(path + ": unknown kind of recording (expected .edf or .csv)");
}

}  // namespace Host
