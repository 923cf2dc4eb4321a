// Hand-made recordings as comma-separated text:
//   time, Flow [L/s], Volume [L]
//   0.000, 0.1, 0
//   0.001, 0.2, 0.0001
// The time column must step uniformly; a blank line starts a new record at the same rate. A
// row whose values are all left empty ("0.002,,") is a gap, where a formula gave no number: it
// ends the record as a blank line does.
// Values are stored as 16-bit samples scaled to each channel's range, as the host stores data.
#pragma once

#include <string>

#include "host/data/Recording.h"

namespace Host {

Recording ReadCsvRecording(const std::string& path);

}  // namespace Host
