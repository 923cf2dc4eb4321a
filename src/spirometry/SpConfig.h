// The spirometry settings of a document: the channels of the flow and volume calculations,
// breath detection's level and forced-breath threshold, what the reports list, the flow noise
// floor and the flow unit prefix. The settings dialog edits exactly these fields.
#pragma once

#include <cstdint>

#include "spirometry/NoiseFloorClamping.h"

namespace Spirometry {

struct SpConfig {
    static constexpr double kMinCycleDetectionFactor = 0.01;
    static constexpr double kMaxCycleDetectionFactor = 10.0;
    static constexpr double kMinForcedExpirationThreshold = 0.1;
    static constexpr double kMaxForcedExpirationThreshold = 10.0;
    // Micro, milli and no prefix: the flow units the document offers.
    static constexpr int32_t kMicroPrefix = 6;
    static constexpr int32_t kMilliPrefix = 7;
    static constexpr int32_t kNoPrefix = 8;

    int32_t mSpFlowCalcChan = static_cast<int32_t>(0x80000000);
    int32_t mSpVolCalcChan = static_cast<int32_t>(0x80000000);
    // Breath-detection level, in percent of the flow channel's full range.
    double mCycleDetectionFactor = 1.0;
    // A breath is forced when its volume reaches this multiple of the average.
    double mForcedExpirationThreshold = 2.0;
    bool mNonForcedInReport = false;
    NoiseFloorClamping mFlowNoiseClamp;
    int32_t mFlowUnitPrefix = kNoPrefix;

    static bool IsValidFlowUnitPrefix(int32_t prefix) { return prefix >= kMicroPrefix && prefix <= kNoPrefix; }
    static bool IsInRange(double threshold, double factor);

    // Takes a settings change: the factor and threshold are kept in their ranges (a value that
    // is no number takes the default) and a prefix the document does not offer leaves the
    // current one. Answers false when the factor or threshold had to be changed.
    bool Assign(double threshold, double factor, bool nonForced, int32_t flowChannel, int32_t volumeChannel,
                int32_t prefix, double clampLevel, bool clampOn);

    bool operator==(const SpConfig& other) const;
    bool operator!=(const SpConfig& other) const { return !(*this == other); }
};

}  // namespace Spirometry
