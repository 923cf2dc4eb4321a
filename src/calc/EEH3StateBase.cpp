#include "calc/EEH3StateBase.h"

#include <algorithm>

namespace EEH3 {

int32_t StateBase::NextIncompleteTick() const
{
    if (mHitEnd)
        return kNoTick;
    int32_t tick = mPositions.empty() ? mStartTick : kNoTick;
    for (const tSrcPosItem& item : mPositions)
        tick = std::min(tick, item.position);
    return tick;
}

}  // namespace EEH3
