#include "trace/TraceViewModes.h"

#include <cmath>

namespace OrrelDraw {

namespace {

ChannelYDataRange RangeOf(DataPane& pane, int side)
{
    ChannelYDataRange range;
    pane.GetDragScaleRangeInUnits(0, 0, side, &range.top, &range.bottom);
    return range;
}

}  // namespace

ChannelYDataRange StackedLeftRange(const ChannelYDataRange& left)
{
    return {left.top, left.bottom - std::fabs(left.top - left.bottom)};
}

ChannelYDataRange StackedRightRange(const ChannelYDataRange& right)
{
    return {right.top + std::fabs(right.top - right.bottom), right.bottom};
}

void ApplyTraceViewMode(DataPane& pane, int mode, unsigned flags, const std::function<void(unsigned)>& showDerived)
{
    switch (mode) {
    case kTraceViewStack:
        pane.AutoScale(0, 0, kScaleLeft);
        pane.AutoScale(0, 0, kScaleRight);
        pane.SetRange(0, 0, kScaleLeft, StackedLeftRange(RangeOf(pane, kScaleLeft)));
        pane.SetRange(0, 0, kScaleRight, StackedRightRange(RangeOf(pane, kScaleRight)));
        break;
    case kTraceViewOverlay:
        pane.AutoScale(0, 0, kScaleLeft);
        pane.AutoScale(0, 0, kScaleRight);
        break;
    case kTraceViewSourceOnly:
        if ((flags & kSourceOnlyOn) != 0) {
            pane.AutoScale(0, 0, kScaleLeft);
            if (showDerived)
                showDerived(0);
            pane.InvalidateAllPanes(true);
        } else if ((flags & kSourceOnlyOff) != 0) {
            if (showDerived)
                showDerived(1);
            pane.InvalidateAllPanes(true);
        }
        break;
    default:
        break;
    }
}

}  // namespace OrrelDraw
