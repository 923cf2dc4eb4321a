// The record that describes one input of a formula: the channel and the kind of its data.
#pragma once

#include "CalcEnumSourceInfo.h"

namespace CalcParser {

// A source record and the RPN index of the symbol that first used the source.
struct CCalcEnumSourceInfoWithIndex {
    CalcEnums::CCalcEnumSourceInfo info;
    int32_t index;
};
static_assert(sizeof(CCalcEnumSourceInfoWithIndex) == 16, "indexed source records are 16 bytes");

}  // namespace CalcParser
