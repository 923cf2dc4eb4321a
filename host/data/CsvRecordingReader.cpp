#include "host/data/CsvRecordingReader.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>

#include "host/data/Excerpt.h"

namespace Host {
namespace {

std::string Trim(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t\r");
    const auto last = s.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
}

std::vector<std::string> SplitFields(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const auto comma = line.find(',', start);
        fields.push_back(Trim(line.substr(start, comma - start)));
        if (comma == std::string::npos)
            return fields;
        start = comma + 1;
    }
}

std::string MagnitudeText()
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", kMaxMagnitude);
    return text;
}

// Reads the file line by line and keeps the place for messages.
class CsvParser {
public:
    explicit CsvParser(const std::string& path) : mPath(path), mIn(path) {}

    Recording Parse();

private:
    [[noreturn]] void Fail(const std::string& what) const
    {
        throw RecordingError(mPath + ":" + std::to_string(mLine) + ": " + what);
    }
    ChannelFormat ParseColumn(const std::string& field, size_t column) const;
    double ParseNumber(const std::string& field, size_t column) const;
    void ParseRow(const std::string& line);
    void EndRecord();
    // Whether the row's values are all empty; refuses a row where only some are.
    bool IsGap(const std::vector<std::string>& fields) const;
    Recording Build();

    std::string mPath;
    std::ifstream mIn;
    size_t mLine = 0;
    std::vector<ChannelFormat> mChannels;
    std::vector<std::vector<std::vector<double>>> mRecords;  // record, channel, tick
    std::vector<double> mTimes;                               // of the current record
    double mStep = std::numeric_limits<double>::quiet_NaN();
};

ChannelFormat CsvParser::ParseColumn(const std::string& field, size_t column) const
{
    ChannelFormat channel;
    const auto open = field.find('[');
    if (open == std::string::npos) {
        channel.title = field;
    } else {
        const auto close = field.find(']', open);
        if (close == std::string::npos)
            Fail("column " + std::to_string(column + 1) + ": \"" + Excerpt(field) + "\": the unit has no closing ']'");
        channel.title = Trim(field.substr(0, open));
        channel.unit = Trim(field.substr(open + 1, close - open - 1));
    }
    if (channel.title.empty())
        Fail("column " + std::to_string(column + 1) + " has no title");
    return channel;
}

double CsvParser::ParseNumber(const std::string& field, size_t column) const
{
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(field.c_str(), &end);
    if (field.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(value))
        Fail("column " + std::to_string(column + 1) + ": \"" + Excerpt(field) + "\" is not a number");
    if (column > 0 && !(std::fabs(value) <= kMaxMagnitude))
        Fail("channel \"" + Excerpt(mChannels[column - 1].title) + "\": the value " + Excerpt(field) +
             " cannot be represented (values must lie within +-" + MagnitudeText() + ")");
    return value;
}

void CsvParser::ParseRow(const std::string& line)
{
    const auto fields = SplitFields(line);
    if (fields.size() != mChannels.size() + 1)
        Fail("expected " + std::to_string(mChannels.size() + 1) + " values, found " + std::to_string(fields.size()));
    const double time = ParseNumber(fields[0], 0);
    if (IsGap(fields)) {
        EndRecord();
        return;
    }
    if (!mTimes.empty()) {
        const double step = time - mTimes.back();
        if (std::isnan(mStep)) {
            if (!(step > 0))
                Fail("the time must increase");
            mStep = step;
        } else if (std::fabs(step - mStep) > 1e-6 * mStep) {
            Fail("the time step changes (uniform steps of " + std::to_string(mStep) + " s expected)");
        }
    }
    if (mTimes.empty())
        mRecords.emplace_back(mChannels.size());
    mTimes.push_back(time);
    for (size_t c = 0; c < mChannels.size(); ++c)
        mRecords.back()[c].push_back(ParseNumber(fields[c + 1], c + 1));
}

void CsvParser::EndRecord() { mTimes.clear(); }

bool CsvParser::IsGap(const std::vector<std::string>& fields) const
{
    const auto empty = std::count(fields.begin() + 1, fields.end(), std::string());
    if (empty > 0 && size_t(empty) < fields.size() - 1) {
        const auto missing = std::find(fields.begin() + 1, fields.end(), std::string()) - fields.begin();
        Fail("column " + std::to_string(missing + 1) + ": the value is missing (a gap leaves every value of its row "
             "empty)");
    }
    return empty > 0;
}

// Scales each channel so that its whole range fills the 16-bit values. The offset is a whole
// number of steps, so that 0 is stored exactly (a pause in the flow stays no flow); rounding it
// up keeps both ends of the range within the 16 bits.
Recording CsvParser::Build()
{
    for (size_t c = 0; c < mChannels.size(); ++c) {
        double lo = std::numeric_limits<double>::infinity(), hi = -lo;
        for (const auto& record : mRecords)
            for (double v : record[c])
                lo = std::min(lo, v), hi = std::max(hi, v);
        ChannelFormat& f = mChannels[c];
        if (hi > lo) {
            f.scale = (hi - lo) / 65534.0;
            f.offset = std::ceil(lo / f.scale + 32767.0);
        } else {
            f.scale = (std::fabs(hi) > 0 ? std::fabs(hi) : 1.0) / 32767.0;
            f.offset = 0.0;
        }
    }
    Recording recording(mPath, 1.0 / mStep, mChannels);
    for (const auto& values : mRecords) {
        RecordBlock block;
        block.ticks = static_cast<uint32_t>(values[0].size());
        for (size_t c = 0; c < mChannels.size(); ++c) {
            std::vector<int16_t> raw(block.ticks);
            std::transform(values[c].begin(), values[c].end(), raw.begin(),
                           [&](double v) { return mChannels[c].Raw(v); });
            block.samples.push_back(std::move(raw));
        }
        recording.AddRecord(std::move(block));
    }
    return recording;
}

Recording CsvParser::Parse()
{
    if (!mIn)
        throw RecordingError(mPath + ": the file cannot be opened");
    std::string line;
    while (mChannels.empty() && std::getline(mIn, line)) {
        ++mLine;
        if (Trim(line).empty())
            continue;
        const auto fields = SplitFields(line);
        std::string first = fields[0];
        std::transform(first.begin(), first.end(), first.begin(), [](unsigned char ch) { return std::tolower(ch); });
        if (first.rfind("time", 0) != 0)
            Fail("the header must start with a time column");
        if (fields.size() < 2)
            Fail("the header names no channel");
        for (size_t i = 1; i < fields.size(); ++i)
            mChannels.push_back(ParseColumn(fields[i], i));
    }
    if (mChannels.empty())
        throw RecordingError(mPath + ": the file is empty");
    while (std::getline(mIn, line)) {
        ++mLine;
        if (Trim(line).empty())
            EndRecord();
        else
            ParseRow(line);
    }
    if (mIn.bad())
        Fail("the file could not be read");
    if (mRecords.empty() || std::isnan(mStep))
        throw RecordingError(mPath + ": at least two samples are needed to know the rate");
    return Build();
}

}  // namespace

Recording ReadCsvRecording(const std::string& path)
{
    return CsvParser(path).Parse();
}

}  // namespace Host
