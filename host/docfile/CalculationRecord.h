// A channel calculation as a document file keeps it: the channel, the calculation class, and the
// settings record with the class that reads it back. Reopened, the calculation is made by its
// class, configured with the settings read, and put on its channel.
#pragma once

#include "IChannelCalc.h"
#include "foundation/BinIStream.h"
#include "foundation/BinOStream.h"

namespace Host::CalculationRecord {

// False, with nothing written, when the calculation cannot tell its class or its settings
// (one that was never configured).
bool Write(ICalculation& calculation, int channel, KVD::BinOStream& out);
// Throws std::runtime_error saying what is wrong: a damaged record, a class that is not
// registered, settings that the calculation refuses.
void Read(IOrrelSetCalcData& data, int channelCount, KVD::BinIStream& in);

}  // namespace Host::CalculationRecord
