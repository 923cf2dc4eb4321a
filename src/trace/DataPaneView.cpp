#include "trace/DataPaneView.h"

#include <cmath>
#include <memory>

#include "appkit/Cursor.h"
#include "appkit/RunLoop.h"

namespace OrrelDraw {

namespace {
constexpr double kWheelStep = 0.1;
constexpr double kWheelClearDelay = 0.1;
constexpr double kScrollBarGap = 16;
}  // namespace

DataPaneView& DataPaneView::Create(AppKit::View& parent)
{
    std::unique_ptr<DataPaneView> view(new DataPaneView(parent.Bounds()));
    view->SetAutoresizingMask(kWidthSizable | kHeightSizable);
    view->SetAutoresizesSubviews(true);
    view->SetIdentifier("dataPaneView");
    return static_cast<DataPaneView&>(parent.AddSubview(std::move(view)));
}

DataPaneView::~DataPaneView()
{
    if (mClearTimer != 0)
        AppKit::RunLoop::Main().RemoveTimer(mClearTimer);
}

void DataPaneView::SetPreviewPane(DataPane* pane)
{
    const bool fresh = pane != mPane;
    mPane = pane;
    if (pane == nullptr)
        return;
    if (fresh)
        pane->OnSetupWindow(Superview(), Superview());
    ResetSizeAndPos();
}

void DataPaneView::ResetSizeAndPos()
{
    if (mPane == nullptr || Superview() == nullptr)
        return;
    const AppKit::Rect outer = Superview()->Bounds();
    const double left = mPane->GetMaxScaleWidth(kScaleLeft), right = mPane->GetMaxScaleWidth(kScaleRight);
    const double lower = mPane->GetScrollBar() != nullptr ? kScrollBarGap : 0;
    SetFrame(AppKit::Rect{outer.x + left, outer.y, outer.width - left - right, outer.height - lower});
    mPane->OnMove(TPoint(int(Frame().x), int(Frame().y)));
    mPane->OnSize(TSize(int(Frame().width) - mRightInset, int(Frame().height) - 2));
    SetupTrackingArea();
}

void DataPaneView::SetupTrackingArea()
{
    if (mTrackingArea != 0)
        RemoveTrackingArea(mTrackingArea);
    mTrackingArea = 0;
    if (mPane == nullptr)
        return;
    TRect data;
    mPane->GetDataClientRect(0, &data);
    AppKit::TrackingArea area;
    area.rect = AppKit::Rect{double(data.left), double(data.top), double(data.Width()), double(data.Height())};
    area.options = AppKit::TrackingArea::kMouseEnteredAndExited | AppKit::TrackingArea::kMouseMoved |
                   AppKit::TrackingArea::kActiveInActiveApp;
    area.owner = this;
    mTrackingArea = AddTrackingArea(area);
}

unsigned DataPaneView::ConvertModifiers(unsigned flags)
{
    unsigned out = 0;
    if (flags & AppKit::kShiftKeyMask)
        out |= PaneModifier::kShift;
    if (flags & AppKit::kControlKeyMask)
        out |= PaneModifier::kControl;
    if (flags & AppKit::kAlternateKeyMask)
        out |= PaneModifier::kOption;
    if (flags & AppKit::kCommandKeyMask)
        out |= PaneModifier::kCommand;
    return out;
}

TPoint DataPaneView::LocalMousePos(const AppKit::Event& e) const
{
    const Gfx::Point p = ConvertPoint(e.locationInWindow, nullptr);
    return TPoint(int(std::round(p.x)), int(std::round(p.y)));
}

void DataPaneView::RefreshCursor(const TPoint& at)
{
    if (mPane == nullptr || mPane->OnSetCursor(this, 1, 0))
        return;
    TRect data;
    mPane->GetDataClientRect(0, &data);
    if (data.left <= at.x && at.x < data.right && data.top <= at.y && at.y < data.bottom)
        AppKit::Cursor::Crosshair().Set();
}

void DataPaneView::ViewDidMoveToWindow()
{
    SetupTrackingArea();
}

void DataPaneView::ViewWillStartLiveResize()
{
    if (mPane != nullptr)
        mPane->OnEnterExitSizeMove(true);
}

void DataPaneView::ViewDidEndLiveResize()
{
    if (mPane != nullptr)
        mPane->OnEnterExitSizeMove(false);
}

void DataPaneView::DrawSelf(Gfx::Context& context)
{
    if (mPane == nullptr)
        return;
    std::unique_ptr<TDC> dc = CreateTDC(&context, !mPane->AreDrawingOnBitmaps());
    mPane->OnPrePaint();
    const AppKit::Rect b = Bounds();
    mPane->OnPaint(*dc, TRect(0, 0, int(b.width), int(b.height)));
}

void DataPaneView::MouseDown(const AppKit::Event& e)
{
    if (mPane == nullptr)
        return;
    const unsigned flags = ConvertModifiers(e.modifierFlags);
    mLastMousePos = LocalMousePos(e);
    if (flags & PaneModifier::kControl)
        mPane->OnRButtonDown(flags, mLastMousePos);
    else if (e.clickCount == 1)
        mPane->OnLButtonDown(flags, mLastMousePos);
}

void DataPaneView::MouseUp(const AppKit::Event& e)
{
    if (mPane == nullptr)
        return;
    const unsigned flags = ConvertModifiers(e.modifierFlags);
    mLastMousePos = LocalMousePos(e);
    if (flags & PaneModifier::kControl)
        mPane->OnRButtonUp(flags, mLastMousePos);
    else if (e.clickCount == 2)
        mPane->OnLButtonDblClk(flags, mLastMousePos);
    else
        mPane->OnLButtonUp(flags, mLastMousePos);
    RefreshCursor(mLastMousePos);
}

void DataPaneView::RightMouseDown(const AppKit::Event& e)
{
    if (mPane != nullptr)
        mPane->OnRButtonDown(ConvertModifiers(e.modifierFlags), LocalMousePos(e));
}

void DataPaneView::RightMouseUp(const AppKit::Event& e)
{
    if (mPane != nullptr)
        mPane->OnRButtonUp(ConvertModifiers(e.modifierFlags), LocalMousePos(e));
}

void DataPaneView::MouseMoved(const AppKit::Event& e)
{
    if (mPane == nullptr)
        return;
    mLastMousePos = LocalMousePos(e);
    mLastFlags = ConvertModifiers(e.modifierFlags);
    mPane->OnMouseMove(mLastFlags, mLastMousePos);
    RefreshCursor(mLastMousePos);
}

void DataPaneView::MouseDragged(const AppKit::Event& e)
{
    MouseMoved(e);
}

void DataPaneView::MouseEntered(const AppKit::Event& e)
{
    AppKit::Cursor::Current().Push();
    RefreshCursor(LocalMousePos(e));
}

void DataPaneView::MouseExited(const AppKit::Event&)
{
    if (mPane != nullptr)
        mPane->OnMouseLeave();
    AppKit::Cursor::Pop();
}

void DataPaneView::FlagsChanged(const AppKit::Event& e)
{
    if (mPane == nullptr)
        return;
    mLastFlags = ConvertModifiers(e.modifierFlags);
    mPane->OnMouseMove(mLastFlags, mLastMousePos);
    RefreshCursor(mLastMousePos);
}

void DataPaneView::ScrollWheel(const AppKit::Event& e)
{
    if (mPane == nullptr)
        return;
    mWheelBuffer += e.deltaY;
    while (std::fabs(mWheelBuffer) > kWheelStep) {
        if (mWheelBuffer > 0) {
            mWheelBuffer -= kWheelStep;
            mPane->OnScrollX(ScrollCode::kLineLeft);
        } else {
            mWheelBuffer += kWheelStep;
            mPane->OnScrollX(ScrollCode::kLineRight);
        }
    }
    // What is left of a step is forgotten soon after the wheel stops.
    AppKit::RunLoop& loop = AppKit::RunLoop::Main();
    if (mClearTimer != 0)
        loop.RemoveTimer(mClearTimer);
    mClearTimer = loop.AddTimer(kWheelClearDelay, false, [this] {
        mWheelBuffer = 0;
        mClearTimer = 0;
    });
}

}  // namespace OrrelDraw
