// What the registration probe registers; tests look for it by these values alone, so that
// nothing in them refers to the probe's code.
#pragma once

#include "KVDTypes.h"

namespace Probe {

constexpr TCAFId kProbeTypeId = 0x7ABC0001;

}  // namespace Probe
