// The samples of an EDF file's data records, read a block of whole records at a time and
// decoded straight into the channels' storage: one read per block and no call per sample.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Host {

// How a signal's digital values go into its channel's 16-bit values: digital x factor + shift.
struct EdfStorage {
    int factor = 1;
    int shift = 0;
};

// The storage of a signal of that digital range. A recorder of fewer than 16 bits is widened by
// a power of two, exactly, so that its range fills the 16-bit values as a 16-bit recorder's
// does: the plug-in takes a channel's full range from its stored values. A range of 16 bits is
// stored as it is.
EdfStorage StorageOf(int digitalMin, int digitalMax);

// A signal of the data records, in the file's order.
struct EdfSignal {
    int samplesPerRecord = 0;
    // Stored values beyond the signal's digital range are read as its nearest end.
    int digitalMin = -32768;
    int digitalMax = 32767;
    int channel = -1;  // the channel its samples go to; -1 for one that is not read (annotations)
    EdfStorage storage{};
};

struct EdfData {
    int64_t offset = 0;   // where the first data record starts
    int64_t records = 0;  // how many follow, end to end
    int fastest = 0;      // ticks in a record: the most samples a signal has in one
    std::vector<EdfSignal> signals;
};

// A block stays in the processor's second-level cache between the read and the decoding.
constexpr size_t kEdfBlockBytes = size_t(256) << 10;

// One vector of records x fastest samples per channel (channels are numbered from 0 and each
// has one signal). A slower signal is held: tick j of a record shows its sample that started at
// or before the tick. Reads blockBytes at a time, rounded down to whole records where one fits,
// so that besides the channels' samples it takes a block and nothing per tick or per record.
// Throws RecordingError naming the file when a data record cannot be read whole.
std::vector<std::vector<int16_t>> ReadEdfSamples(const std::string& path, const EdfData& data,
                                                 size_t blockBytes = kEdfBlockBytes);

}  // namespace Host
