#include "trace/DataWinPane.h"

namespace OrrelDraw {

DataWinPane::DataWinPane(AppKit::View* view, IRecordData* record, uint32_t paneFlags, DragScaleStyle style,
                         uint32_t controlFlags, uint32_t miscFlags, Clock clock)
    : DataPane(record, 0, paneFlags, style, controlFlags, 0, miscFlags, std::move(clock)),
      DataWinBase(view),
      mControlCreateFlags(controlFlags)
{
}

void DataWinPane::OnZoomX(const TicksPerPix& ratio, const int* pivot, bool notify)
{
    const TicksPerPix before = GetTicksPerPix();
    DataPane::OnZoomX(ratio, pivot, notify);
    if (GetTicksPerPix() != before)
        DataWinBase::OnZoomX(ratio, pivot, notify);
}

}  // namespace OrrelDraw
