#include "host/data/EdfHeaderCheck.h"

#include <edflib.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "host/data/Recording.h"

namespace Host {
namespace {

constexpr int kFixedBytes = 256;
constexpr int kSignalBytes = 256;

// The fields of a signal, in the order the header lists them, each for every signal in turn.
struct SignalField {
    const char* name;
    int width;
};
constexpr SignalField kSignalFields[] = {
    {"label", 16},           {"transducer type", 80}, {"physical dimension", 8}, {"physical minimum", 8},
    {"physical maximum", 8}, {"digital minimum", 8},  {"digital maximum", 8},    {"prefiltering", 80},
    {"samples per data record", 8}, {"reserved", 32},
};
enum SignalFieldIndex { kPhysMin = 3, kPhysMax, kDigMin, kDigMax, kSamples = 8 };

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// The bytes of the header and where each field lies, for messages.
class Header {
public:
    Header(const std::string& path, std::string bytes) : mPath(path), mBytes(std::move(bytes)) {}

    void Extend(std::string more) { mBytes += more; }

    [[noreturn]] void Fail(const std::string& field, int offset, int width, const std::string& expected) const
    {
        throw RecordingError(mPath + ": header field \"" + field + "\" at byte " + std::to_string(offset) +
                             ": expected " + expected + ", found \"" + Shown(offset, width) + "\"");
    }

    std::string Text(const std::string& field, int offset, int width) const
    {
        for (int i = offset; i < offset + width; ++i)
            if (mBytes[i] < 32 || mBytes[i] > 126)
                Fail(field, offset, width, "printable ASCII characters");
        return mBytes.substr(offset, width);
    }

    int64_t Whole(const std::string& field, int offset, int width, int64_t low, int64_t high,
                  const std::string& expected) const
    {
        const std::string text = LeftAligned(field, offset, width, expected);
        char* end = nullptr;
        errno = 0;
        const long long value = std::strtoll(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || errno == ERANGE || value < low || value > high)
            Fail(field, offset, width, expected);
        return value;
    }

    double Number(const std::string& field, int offset, int width) const
    {
        const std::string text = LeftAligned(field, offset, width, "a number");
        char* end = nullptr;
        const double value = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0' || !std::isfinite(value))
            Fail(field, offset, width, "a number");
        return value;
    }

    // Two digits, a dot, two digits, a dot, two digits, each pair within its limits.
    void Clock(const std::string& field, int offset, const int (&lows)[3], const int (&highs)[3],
               const std::string& expected) const
    {
        const std::string text = Text(field, offset, 8);
        for (int part = 0; part < 3; ++part) {
            const char* p = text.c_str() + 3 * part;
            const bool digits = std::isdigit(static_cast<unsigned char>(p[0])) &&
                                std::isdigit(static_cast<unsigned char>(p[1]));
            const int value = digits ? (p[0] - '0') * 10 + (p[1] - '0') : -1;
            if (!digits || value < lows[part] || value > highs[part] || (part < 2 && p[2] != '.'))
                Fail(field, offset, 8, expected);
        }
    }

private:
    // The field's text, trimmed; EDFlib refuses a number that does not start at the field's
    // first byte, so such a field is refused here, by name.
    std::string LeftAligned(const std::string& field, int offset, int width, const std::string& expected) const
    {
        const std::string text = Text(field, offset, width);
        const std::string trimmed = Trimmed(text);
        if (!trimmed.empty() && text[0] == ' ')
            Fail(field, offset, width, expected + " from the field's first byte");
        return trimmed;
    }

    std::string Shown(int offset, int width) const
    {
        std::string shown;
        for (int i = offset; i < offset + width && i < int(mBytes.size()); ++i)
            shown += mBytes[i] >= 32 && mBytes[i] <= 126 ? mBytes[i] : '?';
        return Trimmed(shown);
    }

    std::string mPath;
    std::string mBytes;
};

// EDFlib reads the duration of an EDF+ data record only as digits with at most one point, and
// refuses the file otherwise without naming the field: "1e0" is a number, but not one it reads.
bool IsDecimal(const std::string& text)
{
    const size_t start = !text.empty() && text[0] == '+' ? 1 : 0;
    const std::string body = text.substr(start);
    const bool onlyDigitsAndPoints = body.find_first_not_of("0123456789.") == std::string::npos;
    return onlyDigitsAndPoints && std::count(body.begin(), body.end(), '.') <= 1 &&
           body.find_first_of("0123456789") != std::string::npos;
}

std::string MagnitudeText()
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", kMaxMagnitude);
    return text;
}

std::string Read(std::ifstream& in, size_t count)
{
    std::string bytes(count, '\0');
    in.read(&bytes[0], std::streamsize(count));
    bytes.resize(size_t(in.gcount()));
    return bytes;
}

}  // namespace

EdfLayout CheckEdfHeader(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw RecordingError(path + ": the file cannot be opened: " + std::strerror(errno));
    std::string fixed = Read(in, kFixedBytes);
    if (fixed.size() < size_t(kFixedBytes))
        throw RecordingError(path + ": the file is " + std::to_string(fixed.size()) +
                             " bytes long, shorter than the 256 bytes of an EDF header");
    Header header(path, fixed);
    if (Trimmed(header.Text("version", 0, 8)) != "0")
        header.Fail("version", 0, 8, "0");
    header.Text("local patient identification", 8, 80);
    header.Text("local recording identification", 88, 80);
    header.Clock("start date", 168, {1, 1, 0}, {31, 12, 99}, "a date dd.mm.yy");
    header.Clock("start time", 176, {0, 0, 0}, {23, 59, 59}, "a time hh.mm.ss");
    const int64_t headerBytes = header.Whole("number of bytes in header", 184, 8, 0, 99999999, "a whole number");
    const bool plus = header.Text("reserved", 192, 44).compare(0, 4, "EDF+") == 0;
    EdfLayout layout;
    layout.records = header.Whole("number of data records", 236, 8, 1, 99999999, "a whole number of at least 1");
    layout.recordSeconds = header.Number("duration of a data record", 244, 8);
    if (!(layout.recordSeconds > 0))
        header.Fail("duration of a data record", 244, 8, "a number of seconds greater than 0");
    if (plus && !IsDecimal(Trimmed(header.Text("duration of a data record", 244, 8))))
        header.Fail("duration of a data record", 244, 8,
                    "a number of seconds in digits with at most one point (EDF+ takes no exponent)");
    layout.signals = int(header.Whole("number of signals", 252, 4, 1, EDFLIB_MAXSIGNALS,
                                      "a whole number from 1 to " + std::to_string(EDFLIB_MAXSIGNALS)));
    const int64_t expectedHeader = int64_t(kFixedBytes) + int64_t(kSignalBytes) * layout.signals;
    if (headerBytes != expectedHeader)
        header.Fail("number of bytes in header", 184, 8,
                    std::to_string(expectedHeader) + " (256 for each of the " + std::to_string(layout.signals) +
                        " signals and 256 more)");

    const std::string signalBytes = Read(in, size_t(kSignalBytes) * layout.signals);
    if (signalBytes.size() < size_t(kSignalBytes) * layout.signals)
        throw RecordingError(path + ": the file ends inside the header of its signals");
    header.Extend(signalBytes);
    std::vector<std::vector<double>> values(std::size(kSignalFields), std::vector<double>(layout.signals));
    std::vector<std::string> labels(layout.signals);
    int offset = kFixedBytes;
    int64_t recordBytes = 0;
    for (size_t f = 0; f < std::size(kSignalFields); ++f) {
        const SignalField& field = kSignalFields[f];
        for (int s = 0; s < layout.signals; ++s, offset += field.width) {
            const std::string name = std::string(field.name) + " of signal " + std::to_string(s + 1) +
                                     (labels[s].empty() ? "" : " (" + labels[s] + ")");
            if (f == 0)
                labels[s] = Trimmed(header.Text(name, offset, field.width));
            else if (f == kPhysMin || f == kPhysMax)
                values[f][s] = header.Number(name, offset, field.width);
            else if (f == kDigMin || f == kDigMax)
                values[f][s] = double(header.Whole(name, offset, field.width, -32768, 32767,
                                                   "a whole number from -32768 to 32767"));
            else if (f == kSamples)
                values[f][s] = double(header.Whole(name, offset, field.width, 1, 99999999,
                                                   "a whole number of at least 1"));
            else
                header.Text(name, offset, field.width);
            if ((f == kPhysMin || f == kPhysMax) && !(std::fabs(values[f][s]) <= kMaxMagnitude))
                header.Fail(name, offset, field.width, "a value within +-" + MagnitudeText());
            if (f == kDigMax && values[kDigMax][s] <= values[kDigMin][s])
                header.Fail(name, offset, field.width, "more than the digital minimum");
            if (f == kPhysMax && values[kPhysMax][s] == values[kPhysMin][s])
                header.Fail(name, offset, field.width, "a value other than the physical minimum");
        }
    }
    for (int s = 0; s < layout.signals; ++s) {
        recordBytes += 2 * int64_t(values[kSamples][s]);
        layout.samplesPerRecord.push_back(int(values[kSamples][s]));
        if (plus && labels[s] == "EDF Annotations")
            continue;
        ++layout.channels;
        layout.fastest = std::max(layout.fastest, int(values[kSamples][s]));
    }
    layout.labels = std::move(labels);

    in.seekg(0, std::ios::end);
    const int64_t size = int64_t(in.tellg());
    const int64_t described = expectedHeader + layout.records * recordBytes;
    if (size != described)
        throw RecordingError(path + ": the file is " + std::to_string(size) + " bytes long, but its header describes " +
                             std::to_string(described) + " (" + std::to_string(expectedHeader) + " of header and " +
                             std::to_string(layout.records) + " data records of " + std::to_string(recordBytes) +
                             ")");
    CheckExpandedSize(path, uint64_t(layout.channels), uint64_t(layout.records) * uint64_t(layout.fastest));
    return layout;
}

}  // namespace Host
