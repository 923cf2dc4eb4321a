#include "trace/PreviewWinPane.h"

#include "trace/PreviewControlMac.h"

namespace OrrelDraw {

PreviewWinPane::PreviewWinPane(AppKit::View* view, IRecordData* record, int scaleRequest, uint32_t paneFlags,
                               DragScaleStyle style, uint32_t controlFlags, uint32_t miscFlags, Clock clock)
    : DataWinBase(view),
      PreviewDataPane(record, scaleRequest, paneFlags, style, controlFlags, miscFlags, std::move(clock)),
      mControlCreateFlags(controlFlags)
{
}

void PreviewWinPane::OnZoomX(const TicksPerPix& ratio, const int* pivot, bool)
{
    DataPane::OnZoomX(ratio, pivot, true);
    DataWinBase::OnZoomX(ratio, pivot, true);
}

void PreviewWinPane::OnSetupWindow(void* window, void* parent)
{
    PreviewDataPane::OnSetupWindow(window, parent);
    SetScalesBoundary(DataWinBase::GetScalesBoundary());
}

PreviewControl* PreviewWinPane::CreatePreviewControl(PreviewDataPane* pane, uint32_t controlFlags)
{
    AppKit::View* view = GetView();
    if (view == nullptr || view->Superview() == nullptr)
        return nullptr;
    return new PreviewControlMac(pane, *view->Superview(), controlFlags);
}

}  // namespace OrrelDraw
