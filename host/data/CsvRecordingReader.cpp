#include "host/data/CsvRecordingReader.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <memory>

#include "host/data/Excerpt.h"

namespace Host {
namespace {

// The longest line read: a row of kMaxChannels values takes a small part of it, and a line
// refused for its length is never held whole.
constexpr size_t kLongestLine = size_t(16) << 20;

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

// A unit the time column may name, as seconds = numerator / denominator: the rate is then
// worked out exactly for steps of whole milliseconds, and as before for steps in seconds.
struct TimeUnit {
    const char* name;
    double numerator;
    double denominator;
};

const TimeUnit kSeconds{"s", 1.0, 1.0};
const TimeUnit kTimeUnits[] = {
    kSeconds, {"sec", 1.0, 1.0}, {"ms", 1.0, 1000.0}, {"min", 60.0, 1.0}, {"h", 3600.0, 1.0},
};

// What spreadsheet programs put ahead of the text of "CSV UTF-8", and of UTF-16 text.
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr char kUtf16Marks[][3] = {"\xFF\xFE", "\xFE\xFF"};

// The fields of a line, counted before the line is split: a line of millions of commas would
// take tens of bytes a field as strings.
size_t FieldCount(const std::string& line)
{
    return size_t(std::count(line.begin(), line.end(), ',')) + 1;
}

// Reads the file twice, line by line, keeping the place for messages: first to check every row
// and find each channel's range and each record's length, then to store the values as 16-bit
// samples of those ranges. Reading a recording so costs its samples: holding the values as read
// until the ranges are known would cost four times as much.
class CsvParser {
public:
    explicit CsvParser(const std::string& path) : mPath(path), mLineBytes(new char[kLongestLine + 1]) {}

    Recording Parse();

private:
    [[noreturn]] void Fail(const std::string& what) const
    {
        throw RecordingError(mPath + ":" + std::to_string(mLine) + ": " + what);
    }
    ChannelFormat ParseColumn(const std::string& field, size_t column) const;
    // The unit of the header's first field, the time column: "time", "time [ms]", "Time (min)".
    TimeUnit ParseTimeColumn(const std::string& field) const;
    // Where the header's field that starts at at, column, ends: the comma after it, or npos.
    // The field's text goes to text when given: trimmed, or, in double quotes (RFC 4180),
    // without them, a doubled quote in it read as one and its commas as its own.
    size_t HeaderFieldEnd(const std::string& line, size_t at, size_t column, std::string* text) const;
    // The header's fields, counted, and kept in fields when given: a header of millions of
    // commas is counted without holding its fields.
    size_t SplitHeader(const std::string& line, std::vector<std::string>* fields) const;
    double ParseNumber(const std::string& field, size_t column) const;
    // The next line, without its end, into line; false at the end of the file. A line longer
    // than kLongestLine is refused having read no more than that.
    bool ReadLine(std::istream& in, std::string& line);
    void ParseHeader(const std::string& line);
    // Reads the lines up to the header's, parsing it on the first pass.
    void ReadHeader(std::istream& in);
    void ReadRows(std::istream& in);
    void ParseRow(const std::string& line);
    void StartRecord();
    void Take(size_t channel, double value);
    void EndRecord() { mInRecord = false; }
    // Whether the row's values are all empty; refuses a row where only some are.
    bool IsGap(const std::vector<std::string>& fields) const;
    void Scale();

    std::string mPath;
    std::unique_ptr<char[]> mLineBytes;  // kLongestLine and a terminating zero
    bool mStoring = false;  // the second pass
    size_t mLine = 0;
    std::vector<ChannelFormat> mChannels;
    bool mInRecord = false;
    double mLastTime = 0.0;
    double mStep = std::numeric_limits<double>::quiet_NaN();  // in the time column's unit
    TimeUnit mTimeUnit = kSeconds;
    // The first pass's findings: each channel's range and each record's ticks.
    std::vector<double> mLow, mHigh;
    std::vector<uint32_t> mTicks;
    uint64_t mAllTicks = 0;
    // The second pass's samples.
    std::vector<RecordBlock> mRecords;
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

TimeUnit CsvParser::ParseTimeColumn(const std::string& field) const
{
    std::string lower = field;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char ch) { return std::tolower(ch); });
    if (lower.rfind("time", 0) != 0)
        Fail("the header must start with a time column");
    const auto open = field.find_first_of("[(");
    if (open == std::string::npos)
        return kSeconds;
    const char closing = field[open] == '[' ? ']' : ')';
    const auto close = field.find(closing, open);
    if (close == std::string::npos)
        Fail("column 1: \"" + Excerpt(field) + "\": the unit has no closing '" + closing + "'");
    const std::string unit = Trim(field.substr(open + 1, close - open - 1));
    if (unit.empty())
        return kSeconds;
    for (const TimeUnit& known : kTimeUnits)
        if (unit == known.name)
            return known;
    Fail("column 1: the time unit \"" + Excerpt(unit) + "\" is not one of s, ms, min or h");
}

size_t CsvParser::HeaderFieldEnd(const std::string& line, size_t at, size_t column, std::string* text) const
{
    const auto start = line.find_first_not_of(" \t", at);
    if (start == std::string::npos || line[start] != '"') {
        const auto comma = line.find(',', at);
        if (text != nullptr)
            *text = Trim(line.substr(at, comma - at));
        return comma;
    }
    if (text != nullptr)
        text->clear();
    size_t close = start + 1;
    for (;; ++close) {
        if (close >= line.size())
            Fail("column " + std::to_string(column) + ": the quoted field has no closing '\"'");
        if (line[close] == '"' && line.compare(close, 2, "\"\"") != 0)
            break;
        if (line[close] == '"')
            ++close;
        if (text != nullptr)
            *text += line[close];
    }
    const auto comma = line.find(',', close);
    if (line.find_first_not_of(" \t\r", close + 1) < comma)
        Fail("column " + std::to_string(column) + ": only spaces may follow the closing quote, not \"" +
             Excerpt(Trim(line.substr(close + 1, comma - close - 1))) + "\"");
    return comma;
}

size_t CsvParser::SplitHeader(const std::string& line, std::vector<std::string>* fields) const
{
    size_t count = 0;
    for (size_t at = 0;; ++at) {
        std::string text;
        at = HeaderFieldEnd(line, at, ++count, fields != nullptr ? &text : nullptr);
        if (fields != nullptr)
            fields->push_back(std::move(text));
        if (at == std::string::npos)
            return count;
    }
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

bool CsvParser::ReadLine(std::istream& in, std::string& line)
{
    in.getline(mLineBytes.get(), kLongestLine + 1);
    const auto read = size_t(in.gcount());
    if (in.bad() || (read == 0 && in.eof()))
        return false;
    // Short of the file's end, a line that fails is one that did not fit.
    if (in.fail()) {
        ++mLine;
        Fail("the line is longer than " + std::to_string(kLongestLine >> 20) + " MiB");
    }
    // Unless the file ended first, the count includes the line's end, which is not stored.
    line.assign(mLineBytes.get(), in.eof() ? read : read - 1);
    return true;
}

void CsvParser::ParseRow(const std::string& line)
{
    const size_t count = FieldCount(line);
    if (count != mChannels.size() + 1)
        Fail("expected " + std::to_string(mChannels.size() + 1) + " values, found " + std::to_string(count));
    const auto fields = SplitFields(line);
    const double time = ParseNumber(fields[0], 0);
    if (IsGap(fields)) {
        EndRecord();
        return;
    }
    if (mInRecord) {
        const double step = time - mLastTime;
        if (std::isnan(mStep)) {
            if (!(step > 0))
                Fail("the time must increase");
            mStep = step;
        } else if (std::fabs(step - mStep) > 1e-6 * mStep) {
            Fail("the time step changes (uniform steps of " + std::to_string(mStep) + " " + mTimeUnit.name +
                 " expected)");
        }
    } else {
        StartRecord();
    }
    mLastTime = time;
    for (size_t c = 0; c < mChannels.size(); ++c)
        Take(c, ParseNumber(fields[c + 1], c + 1));
    if (mStoring) {
        ++mRecords.back().ticks;
    } else {
        ++mTicks.back();
        CheckExpandedSize(mPath, mChannels.size(), ++mAllTicks, mTicks.size());
    }
}

void CsvParser::StartRecord()
{
    mInRecord = true;
    if (!mStoring) {
        mTicks.push_back(0);
        return;
    }
    const size_t record = mRecords.size();
    mRecords.emplace_back();
    mRecords.back().samples.resize(mChannels.size());
    for (auto& channel : mRecords.back().samples)
        channel.reserve(record < mTicks.size() ? mTicks[record] : 0);
}

void CsvParser::Take(size_t channel, double value)
{
    if (mStoring) {
        mRecords.back().samples[channel].push_back(mChannels[channel].Raw(value));
    } else {
        mLow[channel] = std::min(mLow[channel], value);
        mHigh[channel] = std::max(mHigh[channel], value);
    }
}

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
void CsvParser::Scale()
{
    for (size_t c = 0; c < mChannels.size(); ++c) {
        const double lo = mLow[c], hi = mHigh[c];
        ChannelFormat& f = mChannels[c];
        if (hi > lo) {
            f.scale = (hi - lo) / 65534.0;
            f.offset = std::ceil(lo / f.scale + 32767.0);
        } else {
            f.scale = (std::fabs(hi) > 0 ? std::fabs(hi) : 1.0) / 32767.0;
            f.offset = 0.0;
        }
    }
}

void CsvParser::ParseHeader(const std::string& line)
{
    for (const char* mark : kUtf16Marks)
        if (line.rfind(mark, 0) == 0)
            Fail("the file is UTF-16 text: save it as UTF-8 (or ASCII) CSV");
    const size_t channels = SplitHeader(line, nullptr) - 1;
    if (channels > kMaxChannels)
        Fail("the header names " + std::to_string(channels) + " channels; a recording may have at most " +
             std::to_string(kMaxChannels));
    std::vector<std::string> fields;
    SplitHeader(line, &fields);
    mTimeUnit = ParseTimeColumn(fields[0]);
    if (fields.size() < 2)
        Fail("the header names no channel");
    for (size_t i = 1; i < fields.size(); ++i)
        mChannels.push_back(ParseColumn(fields[i], i));
    mLow.assign(mChannels.size(), std::numeric_limits<double>::infinity());
    mHigh.assign(mChannels.size(), -std::numeric_limits<double>::infinity());
}

void CsvParser::ReadHeader(std::istream& in)
{
    std::string line;
    while (ReadLine(in, line)) {
        if (++mLine == 1 && line.rfind(kUtf8Mark, 0) == 0)
            line.erase(0, sizeof kUtf8Mark - 1);
        if (Trim(line).empty())
            continue;
        if (!mStoring)
            ParseHeader(line);
        return;
    }
    throw RecordingError(mPath + ": the file is empty");
}

void CsvParser::ReadRows(std::istream& in)
{
    std::string line;
    while (ReadLine(in, line)) {
        ++mLine;
        if (Trim(line).empty())
            EndRecord();
        else
            ParseRow(line);
    }
    if (in.bad())
        Fail("the file could not be read");
}

Recording CsvParser::Parse()
{
    std::ifstream measure(mPath);
    if (!measure)
        throw RecordingError(mPath + ": the file cannot be opened");
    ReadHeader(measure);
    ReadRows(measure);
    if (mTicks.empty() || std::isnan(mStep))
        throw RecordingError(mPath + ": at least two samples are needed to know the rate");
    Scale();
    Recording recording(mPath, mTimeUnit.denominator / (mStep * mTimeUnit.numerator), mChannels);

    std::ifstream store(mPath);
    if (!store)
        throw RecordingError(mPath + ": the file cannot be opened");
    mStoring = true;
    mLine = 0;
    mInRecord = false;
    ReadHeader(store);
    ReadRows(store);
    for (RecordBlock& record : mRecords)
        recording.AddRecord(std::move(record));
    return recording;
}

}  // namespace

Recording ReadCsvRecording(const std::string& path)
{
    return CsvParser(path).Parse();
}

}  // namespace Host
