// EDF and EDF+ recordings (continuous files), read with EDFlib.
#pragma once

#include <string>

#include "host/data/Recording.h"

namespace Host {

// One record at the rate of the fastest signal; slower signals are held sample by sample.
Recording ReadEdfRecording(const std::string& path);

}  // namespace Host
