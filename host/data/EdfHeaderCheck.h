// The check of an EDF file's header before EDFlib opens it, so that a file that is not valid
// EDF is refused with the field that is wrong, its byte offset and what was expected, and a
// file whose header promises more samples than a recording may hold is refused before any of
// them is allocated.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Host {

struct EdfLayout {
    int signals = 0;
    int64_t records = 0;
    double recordSeconds = 0.0;
    int channels = 0;  // the signals a reader keeps as channels: in EDF+, not its annotation signals
    int fastest = 0;   // the most samples such a signal has in a data record
    // Of each signal, in the file's order (annotation signals included).
    std::vector<std::string> labels;  // trimmed
    std::vector<int> samplesPerRecord;
    int64_t HeaderBytes() const { return 256 * (int64_t(signals) + 1); }
};

// Reads and checks the header of the file at path; throws RecordingError naming the file and
// the first field that is wrong. The checks: printable ASCII everywhere; version "0"; the date
// and time forms; the header's size; the numbers of data records and signals; the record
// duration (in an EDF+ file, digits with at most one point, the only form EDFlib reads there);
// each signal's physical and digital ranges and samples per record; the file's size
// against what the header describes; the size of the recording once expanded, of the signals
// kept as channels.
EdfLayout CheckEdfHeader(const std::string& path);

}  // namespace Host
