// The record that describes one input of a calculation: the channel (its number, with the data
// flags in the second word) and the kind of its data. Handed to the host's calculation host.
#pragma once

#include "CalcEnumTypes.h"

namespace CalcEnums {

struct CCalcEnumSourceInfo {
    TChannelId channel;
    KVDEnumDataType dataType;
};
static_assert(sizeof(CCalcEnumSourceInfo) == 12, "source records are 12 bytes");

}  // namespace CalcEnums
