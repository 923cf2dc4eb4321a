#include "host/data/EdfRecordingReader.h"

#include <edflib.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "host/data/EdfHeaderCheck.h"
#include "host/data/EdfSamples.h"

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
    // physical = (digital + offset) x scale, and digital = (stored - shift) / factor.
    const double scale = (signal.phys_max - signal.phys_min) / double(signal.dig_max - signal.dig_min);
    const double offset = signal.phys_min / scale - signal.dig_min;
    const EdfStorage storage = StorageOf(signal.dig_min, signal.dig_max);
    format.scale = scale / storage.factor;
    format.offset = offset * storage.factor - storage.shift;
    // The header's range, whatever the recorder's digital width.
    format.lowest = int16_t(signal.dig_min * storage.factor + storage.shift);
    format.highest = int16_t(signal.dig_max * storage.factor + storage.shift);
    return format;
}

// Where the signals EDFlib lists lie in the data records: in the file's order, past the EDF+
// annotation signals it leaves out.
EdfData DataOf(const EdfLayout& layout, const edf_hdr_struct& header, const std::string& path)
{
    EdfData data;
    data.offset = layout.HeaderBytes();
    data.records = header.datarecords_in_file;
    const bool plus = header.filetype == EDFLIB_FILETYPE_EDFPLUS;
    int listed = 0;
    for (int s = 0; s < layout.signals; ++s) {
        EdfSignal signal;
        signal.samplesPerRecord = layout.samplesPerRecord[size_t(s)];
        if (!(plus && layout.labels[size_t(s)] == "EDF Annotations")) {
            if (listed >= header.edfsignals)
                break;
            const edf_param_struct& param = header.signalparam[listed];
            if (param.smp_in_datarecord != signal.samplesPerRecord)
                break;
            signal.digitalMin = param.dig_min;
            signal.digitalMax = param.dig_max;
            signal.storage = StorageOf(param.dig_min, param.dig_max);
            signal.channel = listed++;
        }
        data.fastest = std::max(data.fastest, signal.channel >= 0 ? signal.samplesPerRecord : 0);
        data.signals.push_back(signal);
    }
    if (listed != header.edfsignals || data.signals.size() != size_t(layout.signals))
        throw RecordingError(path + ": the header's signals could not be matched to its data records");
    return data;
}

}  // namespace

Recording ReadEdfRecording(const std::string& path)
{
    const EdfLayout layout = CheckEdfHeader(path);
    auto header = std::make_unique<edf_hdr_struct>();
    EdfHandle edf;
    if (edfopen_file_readonly(path.c_str(), header.get(), EDFLIB_READ_ALL_ANNOTATIONS) != 0)
        throw RecordingError(path + ": " + OpenErrorText(header->filetype));
    edf.handle = header->handle;
    if (header->filetype != EDFLIB_FILETYPE_EDF && header->filetype != EDFLIB_FILETYPE_EDFPLUS)
        throw RecordingError(path + ": only EDF and EDF+ are supported (24-bit BDF is not)");
    if (header->edfsignals <= 0)
        throw RecordingError(path + ": the file holds no signals");
    // The checked duration: EDFlib reads a valid "1e0" of a plain EDF file as another number.
    const double recordSeconds = layout.recordSeconds;
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
    block.samples = ReadEdfSamples(path, DataOf(layout, *header, path));
    recording.AddRecord(std::move(block));
    for (long long n = 0; n < header->annotations_in_file; ++n) {
        edf_annotation_struct note{};
        if (edf_get_annotation(edf.handle, int(n), &note) == 0)
            recording.AddAnnotation({double(note.onset) / EDFLIB_TIME_DIMENSION, note.annotation});
    }
    return recording;
}

}  // namespace Host
