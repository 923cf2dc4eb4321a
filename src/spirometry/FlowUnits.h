// The flow units volume is integrated from, and the volume unit each gives per millilitre.
#pragma once

#include "foundation/KVDString.h"

namespace Spirometry {

// L/s, mL/s or µL/s (also written .../sec): true, with the volume of one mL in the unit's
// volume (0.001 L, 1 mL, 1000 µL). Any other unit: false, and volumePerML is left as it is.
bool FlowUnitVolumePerML(const KVD::String& unit, double& volumePerML);

}  // namespace Spirometry
