// Writes the first record of a recording as an EDF+ file, one data record per second. The
// 16-bit samples are written as they are; EDF keeps the physical range in 8-character header
// fields, so physical values read back agree to about 1e-7 of the range.
#pragma once

#include <string>

#include "host/data/Recording.h"

namespace Host {

// The tick rate must be a whole number of samples per second and the record a whole number
// of seconds; throws RecordingError naming the file otherwise, FileWriteError when it cannot
// be written (the file that was there is then untouched).
void WriteEdfRecording(const std::string& path, const Recording& recording);

}  // namespace Host
