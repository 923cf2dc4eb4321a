// Writes the first record of a recording as an EDF+ file, one data record per second. The
// 16-bit samples are written as they are; EDF keeps the physical range in 8-character header
// fields, so physical values read back agree to about 1e-7 of the range.
#pragma once

#include <cstdint>
#include <string>

#include "host/data/Recording.h"
#include "host/framework/SafeFile.h"

namespace Host {

// EDFlib writes data records of at most 10 MiB, of which its annotation signal takes 114 bytes;
// the rest holds a second of 16-bit samples of every channel.
constexpr int64_t kEdfRecordBytes = int64_t(10) << 20;
constexpr int64_t kEdfAnnotationBytes = 114;

// The most samples per second each of this many channels can be written with.
constexpr int64_t MostEdfRate(size_t channels)
{
    return (kEdfRecordBytes - kEdfAnnotationBytes) / int64_t(sizeof(int16_t) * (channels > 0 ? channels : 1));
}

// The tick rate must be a whole number of samples per second, at most MostEdfRate of the
// channels, and the record a whole number of seconds; throws RecordingError naming the file
// otherwise, before anything is written, and FileWriteError when it cannot be written (the
// file that was there is then untouched).
void WriteEdfRecording(const std::string& path, const Recording& recording);

// The same into file, which is finished (on disk, its rename left to the caller's Commit): for
// a recording written together with other files.
void WriteEdfRecording(SafeFile& file, const Recording& recording);

}  // namespace Host
