// The flow noise floor: flow whose magnitude is below the level becomes 0 when enabled.
#pragma once

namespace Spirometry {

struct NoiseFloorClamping {
    double level = 0.0;
    bool enabled = false;

    bool operator==(const NoiseFloorClamping& other) const { return level == other.level && enabled == other.enabled; }
    bool operator!=(const NoiseFloorClamping& other) const { return !(*this == other); }
};

}  // namespace Spirometry
