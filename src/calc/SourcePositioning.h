// Positioning of an enumerator's source, shared by every enumerator that forwards to one.
#pragma once

#include "ICalcEnum.h"
#include "IEnumExBase.h"

namespace CalcEnums {

// Moves source to position: through its own ICalcEnum::SetInitialPosition when it is a
// calculation enumerator, otherwise by skipping the difference from its current position
// (nothing when they agree). reached, when given, receives the position the source is at
// afterwards as far as it is known: the requested one, or where a short skip stopped.
HRESULT PositionSource(IEnumExBase* source, int32_t position, int32_t* reached = nullptr);

}  // namespace CalcEnums
