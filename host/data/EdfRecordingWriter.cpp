#include "host/data/EdfRecordingWriter.h"

#include <edflib.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <memory>

#include "host/framework/SafeFile.h"

namespace Host {
namespace {

static_assert(kMaxChannels <= EDFLIB_MAXSIGNALS, "every recording read can be written as EDF");

void Check(int result, const std::string& path, const std::string& what)
{
    if (result != 0)
        throw RecordingError(path + ": cannot write " + what);
}

// EDFlib does not report a write that failed: the file is read back, and must hold every data
// record written and be exactly as long as its header says.
// writeError is the errno the writing left, the likeliest reason.
void CheckWritten(SafeFile& file, long long seconds, int writeError)
{
    auto header = std::make_unique<edf_hdr_struct>();
    const bool whole = edfopen_file_readonly(file.ScratchPath().c_str(), header.get(), EDFLIB_DO_NOT_READ_ANNOTATIONS) == 0;
    if (whole)
        edfclose_file(header->handle);
    if (!whole || header->datarecords_in_file != seconds)
        file.Fail("cannot be written", writeError != 0 ? writeError : EIO);
}

// The tick rate as a whole number of samples per second; throws RecordingError naming the file
// when the recording cannot be written as EDF.
int CheckWritable(const std::string& path, const Recording& recording)
{
    const int rate = static_cast<int>(std::lround(recording.TickRate()));
    if (rate <= 0 || std::fabs(rate - recording.TickRate()) > 1e-9)
        throw RecordingError(path + ": EDF needs a whole number of samples per second");
    const int64_t most = MostEdfRate(recording.ChannelCount());
    if (rate > most)
        throw RecordingError(path + ": EDF takes " + std::to_string(recording.ChannelCount()) +
                             " channel(s) at up to " + std::to_string(most) + " samples per second (a second of "
                             "samples must fit in a data record of " + std::to_string(kEdfRecordBytes >> 20) +
                             " MiB), not " + std::to_string(rate));
    if (recording.RecordCount() == 0)
        throw RecordingError(path + ": the recording has no record to write");
    if (recording.Record(0).ticks % rate != 0)
        throw RecordingError(path + ": EDF needs a whole number of seconds");
    return rate;
}

}  // namespace

void WriteEdfRecording(const std::string& path, const Recording& recording)
{
    CheckWritable(path, recording);
    SafeFile file(path);
    WriteEdfRecording(file, recording);
    file.Commit();
}

void WriteEdfRecording(SafeFile& file, const Recording& recording)
{
    const std::string& path = file.Target();
    const int rate = CheckWritable(path, recording);
    const RecordBlock& block = recording.Record(0);
    const int signals = static_cast<int>(recording.ChannelCount());
    errno = 0;
    const int handle = edfopen_file_writeonly(file.ScratchPath().c_str(), EDFLIB_FILETYPE_EDFPLUS, signals);
    if (handle < 0)
        throw RecordingError(path + ": the file cannot be created");
    try {
        // A known start within the years EDF can hold goes into the header; else the writer's own.
        if (std::isfinite(recording.StartTime())) {
            const CalendarTime t = CalendarOf(recording.StartTime());
            if (t.year >= 1985 && t.year <= 2084) {
                const int whole = int(t.second);
                Check(edf_set_startdatetime(handle, t.year, t.month, t.day, t.hour, t.minute, whole), path,
                      "the start date and time");
                Check(edf_set_subsecond_starttime(handle, int((t.second - whole) * 1e7)), path, "the start time");
            }
        }
        for (int s = 0; s < signals; ++s) {
            const ChannelFormat& f = recording.Channel(s);
            Check(edf_set_samplefrequency(handle, s, rate), path, "the sample rate");
            Check(edf_set_digital_minimum(handle, s, f.lowest), path, "the digital range");
            Check(edf_set_digital_maximum(handle, s, f.highest), path, "the digital range");
            Check(edf_set_physical_minimum(handle, s, f.Physical(f.lowest)), path, "the physical range");
            Check(edf_set_physical_maximum(handle, s, f.Physical(f.highest)), path, "the physical range");
            Check(edf_set_label(handle, s, f.title.c_str()), path, "a label");
            Check(edf_set_physical_dimension(handle, s, f.unit.c_str()), path, "a unit");
        }
        std::vector<short> second(static_cast<size_t>(rate));
        for (uint32_t start = 0; start < block.ticks; start += rate)
            for (int s = 0; s < signals; ++s) {
                std::copy_n(block.samples[s].begin() + start, rate, second.begin());
                Check(edfwrite_digital_short_samples(handle, second.data()), path, "the samples");
            }
        for (const Annotation& note : recording.Annotations())
            Check(edfwrite_annotation_utf8(handle, std::llround(note.onset * 10000.0), -1, note.text.c_str()), path,
                  "an annotation");
    } catch (...) {
        edfclose_file(handle);
        throw;
    }
    Check(edfclose_file(handle), path, "the end of the file");
    CheckWritten(file, block.ticks / rate, errno);
    file.Finish();
}

}  // namespace Host
