#include "trace/DataWinBase.h"

#include "appkit/NotificationCenter.h"
#include "appkit/RunLoop.h"
#include "appkit/Window.h"
#include "trace/ScrollBarMac.h"
#include "trace/ZoomControlMac.h"

namespace OrrelDraw {

const char* const kZoomChangedNotification = "ZoomChangedNotification";

void SPIRO_DataPaneTimerHandler::EvTimer(const UserInfo& userInfo)
{
    const auto id = userInfo.find(TimerIdKey());
    if (id != userInfo.end())
        mWindow.EvTimer(id->second);
}

DataWinBase::DataWinBase(AppKit::View* view)
    : mView(view), mTimerHandler(std::make_unique<SPIRO_DataPaneTimerHandler>(*this))
{
}

DataWinBase::~DataWinBase()
{
    for (const auto& timer : mTimers)
        AppKit::RunLoop::Main().RemoveTimer(timer.second);
}

void DataWinBase::Invalidate(bool)
{
    if (mView != nullptr)
        mView->SetNeedsDisplay();
}

void DataWinBase::InvalidateRect(const TRect* rect, bool)
{
    if (mView == nullptr)
        return;
    if (rect == nullptr)
        mView->SetNeedsDisplay();
    else
        mView->SetNeedsDisplayInRect(AppKit::Rect{double(rect->left), double(rect->top), double(rect->Width()),
                                                  double(rect->Height())});
}

void DataWinBase::ScrollX(long long, const TRect*)
{
    // Nothing is cached on screen: the pane draws the moved content again.
    Invalidate(false);
}

void DataWinBase::OnZoomX(const TicksPerPix&, const int*, bool)
{
    AppKit::NotificationCenter::Default().Post(kZoomChangedNotification, mView);
}

unsigned DataWinBase::SetTimer(unsigned id, unsigned milliseconds)
{
    KillTimer(id);
    const SPIRO_DataPaneTimerHandler::UserInfo userInfo{{SPIRO_DataPaneTimerHandler::TimerIdKey(), id}};
    SPIRO_DataPaneTimerHandler* handler = mTimerHandler.get();
    mTimers[id] = AppKit::RunLoop::Main().AddTimer(milliseconds / 1000.0, true,
                                                   [handler, userInfo] { handler->EvTimer(userInfo); });
    return id;
}

bool DataWinBase::KillTimer(unsigned id)
{
    const auto found = mTimers.find(id);
    if (found != mTimers.end()) {
        AppKit::RunLoop::Main().RemoveTimer(found->second);
        mTimers.erase(found);
    }
    return true;
}

void DataWinBase::EvTimer(unsigned) {}

ScrollBar* DataWinBase::CreateScrollBar(DataPane* pane, uint32_t controlFlags)
{
    if (mView == nullptr || mView->Superview() == nullptr)
        return nullptr;
    return new ScrollBarMac(pane, *mView->Superview(), controlFlags);
}

ZoomControl* DataWinBase::CreateZoomControlX(DataPane* pane, uint32_t controlFlags)
{
    if (mView == nullptr || mView->Superview() == nullptr)
        return nullptr;
    return new ZoomControlMac(pane, *mView->Superview(), controlFlags);
}

void DataWinBase::PositionWindow(int, int, int, int, bool redraw)
{
    if (redraw)
        Invalidate(true);
}

void DataWinBase::ScreenToClient(TPoint& point) const
{
    const AppKit::Window* window = mView != nullptr ? mView->GetWindow() : nullptr;
    if (window == nullptr)
        return;
    const Gfx::Point inView = mView->ConvertPoint(window->ConvertScreenToBase({double(point.x), double(point.y)}), nullptr);
    point = TPoint(int(inView.x), int(inView.y));
}

TRect DataWinBase::GetScalesBoundary() const
{
    if (mView == nullptr)
        return TRect();
    const AppKit::Rect& f = mView->Frame();
    return TRect(int(f.x), int(f.y), int(f.x + f.width), int(f.y + f.height));
}

}  // namespace OrrelDraw
