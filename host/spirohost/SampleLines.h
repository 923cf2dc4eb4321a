// A channel's samples as the commands write them, one "time,value" line each, the time in
// seconds from the record's start: lines that a CSV recording reads back as the record.
#pragma once

#include <cstdint>
#include <ostream>

#include "host/data/SampleArray.h"

namespace SpiroHost {

// Samples first to last (inclusive) of a record at rate. A value that is no number (a division
// by zero) is left empty: a gap, as CSV recordings write one, where "inf" or "nan" would be
// refused.
void WriteSampleLines(std::ostream& out, const Host::FloatSamples& samples, uint32_t first, uint32_t last, double rate);

// The gap row that ends a record of ticks at rate, so that the next lines read back as the
// next record.
void WriteRecordEnd(std::ostream& out, uint32_t ticks, double rate);

}  // namespace SpiroHost
