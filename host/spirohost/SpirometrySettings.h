// The spirometry document's settings record, as its persisted part keeps it in a document
// file, told in the words of the options that set it up.
#pragma once

#include <string>

#include "foundation/BinIStream.h"

namespace SpiroHost {

// "--cycle-level P --forced-threshold X [--non-forced] --units U --noise-floor F; flow on
// channel N, volume on channel M", or what keeps the record from being told.
std::string SpirometrySettingsText(KVD::BinIStream& in);

}  // namespace SpiroHost
