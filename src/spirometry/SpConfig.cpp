#include "spirometry/SpConfig.h"

#include <algorithm>
#include <cmath>

namespace Spirometry {

namespace {

double KeepInRange(double value, double low, double high, double fallback)
{
    return std::isnan(value) ? fallback : std::clamp(value, low, high);
}

}  // namespace

bool SpConfig::IsInRange(double threshold, double factor)
{
    return threshold >= kMinForcedExpirationThreshold && threshold <= kMaxForcedExpirationThreshold &&
           factor >= kMinCycleDetectionFactor && factor <= kMaxCycleDetectionFactor;
}

bool SpConfig::Assign(double threshold, double factor, bool nonForced, int32_t flowChannel, int32_t volumeChannel,
                      int32_t prefix, double clampLevel, bool clampOn)
{
    const SpConfig defaults;
    const bool inRange = IsInRange(threshold, factor);
    mSpFlowCalcChan = flowChannel;
    mSpVolCalcChan = volumeChannel;
    mCycleDetectionFactor = KeepInRange(factor, kMinCycleDetectionFactor, kMaxCycleDetectionFactor,
                                        defaults.mCycleDetectionFactor);
    mForcedExpirationThreshold = KeepInRange(threshold, kMinForcedExpirationThreshold,
                                             kMaxForcedExpirationThreshold, defaults.mForcedExpirationThreshold);
    mNonForcedInReport = nonForced;
    mFlowNoiseClamp.level = clampLevel;
    mFlowNoiseClamp.enabled = clampOn;
    if (IsValidFlowUnitPrefix(prefix))
        mFlowUnitPrefix = prefix;
    return inRange;
}

bool SpConfig::operator==(const SpConfig& other) const
{
    return mSpFlowCalcChan == other.mSpFlowCalcChan && mSpVolCalcChan == other.mSpVolCalcChan &&
           mCycleDetectionFactor == other.mCycleDetectionFactor &&
           mForcedExpirationThreshold == other.mForcedExpirationThreshold &&
           mNonForcedInReport == other.mNonForcedInReport && mFlowNoiseClamp == other.mFlowNoiseClamp &&
           mFlowUnitPrefix == other.mFlowUnitPrefix;
}

}  // namespace Spirometry
