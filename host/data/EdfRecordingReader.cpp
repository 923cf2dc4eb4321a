#include "host/data/EdfRecordingReader.h"

#include <edflib.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "host/data/EdfHeaderCheck.h"

namespace Host {
namespace {

std::string Trimmed(const char* text)
{
    std::string s(text);
    const auto first = s.find_first_not_of(' ');
    const auto last = s.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
}

std::string OpenErrorText(int code)
{
    switch (code) {
    case EDFLIB_NO_SUCH_FILE_OR_DIRECTORY: return "no such file";
    case EDFLIB_FILE_CONTAINS_FORMAT_ERRORS: return "the header is not valid EDF or EDF+";
    case EDFLIB_FILE_IS_DISCONTINUOUS: return "discontinuous EDF+ files are not supported";
    case EDFLIB_FILE_READ_ERROR: return "the file could not be read";
    case EDFLIB_MAXFILES_REACHED: return "too many open files";
    case EDFLIB_FILE_ALREADY_OPENED: return "the file is already open";
    case EDFLIB_MALLOC_ERROR: return "out of memory";
    default: return "the file could not be opened (EDFlib error " + std::to_string(code) + ")";
    }
}

// Closes the EDFlib handle on every path out.
struct EdfHandle {
    int handle = -1;
    ~EdfHandle()
    {
        if (handle >= 0)
            edfclose_file(handle);
    }
};

ChannelFormat FormatOf(const edf_param_struct& signal, const std::string& path)
{
    if (signal.dig_max <= signal.dig_min || signal.phys_max == signal.phys_min)
        throw RecordingError(path + ": signal \"" + Trimmed(signal.label) + "\": its digital or physical range is empty");
    ChannelFormat format;
    format.title = Trimmed(signal.label);
    format.unit = Trimmed(signal.physdimension);
    format.scale = (signal.phys_max - signal.phys_min) / double(signal.dig_max - signal.dig_min);
    format.offset = signal.phys_min / format.scale - signal.dig_min;
    return format;
}

}  // namespace

Recording ReadEdfRecording(const std::string& path)
{
    CheckEdfHeader(path);
    auto header = std::make_unique<edf_hdr_struct>();
    EdfHandle edf;
    if (edfopen_file_readonly(path.c_str(), header.get(), EDFLIB_READ_ALL_ANNOTATIONS) != 0)
        throw RecordingError(path + ": " + OpenErrorText(header->filetype));
    edf.handle = header->handle;
    if (header->filetype != EDFLIB_FILETYPE_EDF && header->filetype != EDFLIB_FILETYPE_EDFPLUS)
        throw RecordingError(path + ": only EDF and EDF+ are supported (24-bit BDF is not)");
    if (header->edfsignals <= 0)
        throw RecordingError(path + ": the file holds no signals");
    if (header->datarecord_duration <= 0)
        throw RecordingError(path + ": the data-record duration is not positive");

    const double recordSeconds = double(header->datarecord_duration) / EDFLIB_TIME_DIMENSION;
    int fastest = 0;
    std::vector<ChannelFormat> formats;
    for (int s = 0; s < header->edfsignals; ++s) {
        formats.push_back(FormatOf(header->signalparam[s], path));
        fastest = std::max(fastest, header->signalparam[s].smp_in_datarecord);
    }
    if (fastest <= 0)
        throw RecordingError(path + ": no signal has samples in a data record");

    Recording recording(path, fastest / recordSeconds, formats);
    // The header's clock is local; its offset to universal time is not recorded.
    recording.SetStartTime(LocalSecondsOf(header->startdate_year, header->startdate_month, header->startdate_day,
                                          header->starttime_hour, header->starttime_minute,
                                          header->starttime_second +
                                              double(header->starttime_subsecond) / EDFLIB_TIME_DIMENSION),
                           std::nan(""));
    CheckExpandedSize(path, formats.size(), uint64_t(header->datarecords_in_file) * uint64_t(fastest));
    RecordBlock block;
    block.ticks = static_cast<uint32_t>(header->datarecords_in_file * fastest);
    std::vector<int> buffer;
    for (int s = 0; s < header->edfsignals; ++s) {
        const edf_param_struct& signal = header->signalparam[s];
        buffer.resize(static_cast<size_t>(signal.smp_in_file));
        if (signal.smp_in_file > 0 &&
            edfread_digital_samples(edf.handle, s, static_cast<int>(signal.smp_in_file), buffer.data()) !=
                signal.smp_in_file)
            throw RecordingError(path + ": signal \"" + formats[s].title + "\": its samples could not be read");
        // A slower signal is held: tick t shows the sample that started at or before it. One at
        // the fastest rate has a sample for every tick.
        std::vector<int16_t> samples(block.ticks);
        const int per = signal.smp_in_datarecord;
        auto stored = [&](size_t i) {
            return i < buffer.size() ? static_cast<int16_t>(std::clamp(buffer[i], -32768, 32767)) : int16_t(0);
        };
        for (uint32_t t = 0; t < block.ticks; ++t) {
            const size_t i = per == fastest ? t : per == 0 ? 0 : static_cast<size_t>((uint64_t(t) * per) / fastest);
            samples[t] = stored(i);
        }
        block.samples.push_back(std::move(samples));
    }
    recording.AddRecord(std::move(block));
    for (long long n = 0; n < header->annotations_in_file; ++n) {
        edf_annotation_struct note{};
        if (edf_get_annotation(edf.handle, int(n), &note) == 0)
            recording.AddAnnotation({double(note.onset) / EDFLIB_TIME_DIMENSION, note.annotation});
    }
    return recording;
}

}  // namespace Host
