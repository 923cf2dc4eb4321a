// The host's class of the formula-driven composite calculation enumerator: its type id is the
// dynamic id of this GUID with index 0.
#pragma once

#include "KVDTypes.h"

// C706D062-2A9A-4FEE-B2CA-8B50E8A4A509
inline constexpr _IID GUID_CompositeCalcEnumObj = {0xC706D062, 0x2A9A, 0x4FEE, {0xB2, 0xCA, 0x8B, 0x50, 0xE8, 0xA4, 0xA5, 0x09}};
