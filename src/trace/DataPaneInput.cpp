// What the data pane does with the user's input: the zoom menu and its commands, mouse, timer and
// draw events handed on to the interactive objects, and selections in its panes.
#include "trace/DataPane.h"

namespace OrrelDraw {

// ---- Menus and commands ----

void DataPane::OnInitMenuPopup(TMenuSink& menu, int first, int last)
{
    menu.DeleteAll();
    if (mZoomControl == nullptr)
        return;
    const TicksPerPix current = GetTicksPerPix();
    for (int id = first; id < last; ++id) {
        const TicksPerPix value = mZoomControl->CommandIdToCompression(id);
        menu.Append(mZoomControl->CalcCompressionDisplay(value), value == current ? 24u : 16u, id);
    }
}

void DataPane::OnCommand(int type, int id)
{
    if (type == 1 && mZoomControl != nullptr)
        OnZoomX(mZoomControl->CommandIdToCompression(id), nullptr, true);
}

// ---- Mouse and timers ----

void DataPane::OnLButtonDown(unsigned flags, const TPoint& point)
{
    ExecuteActionIfPermitted(kActionLeftButtonDown,
                             [&](IKVDInteractiveCpp& object) { object.OnLButtonDown(flags, point); });
}

void DataPane::OnLButtonUp(unsigned flags, const TPoint& point)
{
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.OnLButtonUp(flags, point); });
}

void DataPane::OnRButtonDown(unsigned flags, const TPoint& point)
{
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.OnRButtonDown(flags, point); });
}

void DataPane::OnRButtonUp(unsigned flags, const TPoint& point)
{
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.OnRButtonUp(flags, point); });
}

void DataPane::OnMouseMove(unsigned flags, const TPoint& point)
{
    ExecuteActionIfPermitted(kActionMouseMove, [&](IKVDInteractiveCpp& object) { object.OnMouseMove(flags, point); });
}

void DataPane::OnLButtonDblClk(unsigned flags, const TPoint& point)
{
    bool handled = false;
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.OnLButtonDblClk(flags, point, &handled); });
}

void DataPane::OnMouseLeave()
{
    CallOnObjects([](IKVDInteractiveCpp& object) { object.OnMouseLeave(); });
}

void DataPane::OnDrawEvent(TCAFId id, unsigned flags, void* data)
{
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.OnDrawEvent(id, flags, data); });
}

bool DataPane::OnBeforeSelectInPane(int pane, const TPoint&)
{
    return pane == -1 || IsPane(pane);
}

void DataPane::OnAfterSelectInPane(int pane)
{
    if (pane == -1)
        mTimeScale->Invalidate(false);
    else if (IsPane(pane))
        mPanes[size_t(pane)]->Invalidate(false);
}

void DataPane::OnTimer(unsigned id)
{
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.OnTimer(id); });
}

}  // namespace OrrelDraw
