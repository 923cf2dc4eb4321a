#include "trace/DataPaneView.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "appkit/Cursor.h"
#include "appkit/RunLoop.h"
#include "appkit/Window.h"

namespace OrrelDraw {

namespace {
constexpr double kWheelStep = 0.1;
constexpr double kWheelClearDelay = 0.1;
// The pane ends this far above the view's bottom edge.
constexpr int kPaneBottomInset = 2;
}  // namespace

SPIRO_DataPaneView& SPIRO_DataPaneView::Create(AppKit::View& parent)
{
    std::unique_ptr<SPIRO_DataPaneView> view(new SPIRO_DataPaneView(parent.Bounds()));
    view->SetAutoresizingMask(kWidthSizable | kHeightSizable);
    view->SetAutoresizesSubviews(true);
    view->SetIdentifier("dataPaneView");
    view->SetClipsToBounds(false);  // the scales are drawn beside the view
    return static_cast<SPIRO_DataPaneView&>(parent.AddSubview(std::move(view)));
}

SPIRO_DataPaneView::~SPIRO_DataPaneView()
{
    if (mClearTimer != 0)
        AppKit::RunLoop::Main().RemoveTimer(mClearTimer);
}

void SPIRO_DataPaneView::SetPreviewPane(DataPane* pane)
{
    const bool fresh = pane != mPane;
    mPane = pane;
    if (pane == nullptr)
        return;
    if (fresh)
        pane->OnSetupWindow(Superview(), Superview());
    ResetSizeAndPos();
}

void SPIRO_DataPaneView::ResetSizeAndPos()
{
    if (mPane == nullptr || Superview() == nullptr)
        return;
    const AppKit::Rect outer = Superview()->Bounds();
    mLeftScaleWidth = mPane->GetMaxScaleWidth(kScaleLeft);
    mRightScaleWidth = mPane->GetMaxScaleWidth(kScaleRight);
    // The pane places its scales in the strips of these widths.
    mPane->SetScalesBoundary(TRect(int(outer.x), int(outer.y), int(outer.x + outer.width), int(outer.y + outer.height)));
    const double left = std::max(mLeftScaleWidth, mLeftReserve), right = mRightScaleWidth;
    SetFrame(AppKit::Rect{outer.x + left, outer.y, outer.width - left - right, outer.height - ControlRowHeight()});
    mPane->OnMove(TPoint(int(Frame().x), int(Frame().y)));
    mPane->OnSize(TSize(int(Frame().width) - mRightInset, int(Frame().height) - kPaneBottomInset));
    SetupTrackingArea();
}

double SPIRO_DataPaneView::ControlRowHeight() const
{
    // The pane puts its scroll bar, zoom control and preview control in a row two borders under
    // itself; the zoom control is the tallest of them. The superview keeps them whole.
    if (mPane->GetScrollBar() == nullptr || mPane->GetZoomControl() == nullptr)
        return 0;
    TSize zoom;
    mPane->GetZoomControl()->GetSize(&zoom);
    return std::max(0, 2 * mPane->GetPaneBorderH() - kPaneBottomInset + int(zoom.cy));
}

void SPIRO_DataPaneView::SetupTrackingArea()
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

unsigned SPIRO_DataPaneView::ConvertModifiers(unsigned flags)
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

TPoint SPIRO_DataPaneView::LocalMousePos(const AppKit::Event& e) const
{
    const Gfx::Point p = ConvertPoint(e.locationInWindow, nullptr);
    return TPoint(int(std::round(p.x)), int(std::round(p.y)));
}

void SPIRO_DataPaneView::RefreshCursor(const TPoint& at)
{
    if (mPane == nullptr || mPane->OnSetCursor(this, 1, 0))
        return;
    TRect data;
    mPane->GetDataClientRect(0, &data);
    if (data.left <= at.x && at.x < data.right && data.top <= at.y && at.y < data.bottom)
        AppKit::Cursor::Crosshair().Set();
}

void SPIRO_DataPaneView::ViewDidMoveToWindow()
{
    SetupTrackingArea();
}

void SPIRO_DataPaneView::ViewWillDraw()
{
    // A new range may give the scales longer labels.
    if (mPane != nullptr && (mPane->GetMaxScaleWidth(kScaleLeft) != mLeftScaleWidth ||
                             mPane->GetMaxScaleWidth(kScaleRight) != mRightScaleWidth))
        ResetSizeAndPos();
}

void SPIRO_DataPaneView::ViewWillStartLiveResize()
{
    if (mPane != nullptr)
        mPane->OnEnterExitSizeMove(true);
}

void SPIRO_DataPaneView::ViewDidEndLiveResize()
{
    if (mPane != nullptr)
        mPane->OnEnterExitSizeMove(false);
}

void SPIRO_DataPaneView::DrawSelf(Gfx::Context& context)
{
    if (mPane == nullptr)
        return;
    const AppKit::Rect b = Bounds();
    context.SaveState();
    context.ClipToRect(b);
    {
        std::unique_ptr<TDC> dc = CreateTDC(&context, !mPane->AreDrawingOnBitmaps());
        mPane->OnPrePaint();
        mPane->OnPaint(*dc, TRect(0, 0, int(b.width), int(b.height)));
    }
    context.RestoreState();
    context.SaveState();
    context.ClipToRect({-Frame().x, 0, Frame().x + b.width + mRightScaleWidth, b.height});
    {
        std::unique_ptr<TDC> dc = CreateTDC(&context, true);
        for (int i = 0; i < mPane->ChannelPaneCount(); ++i)
            mPane->GetChannelPane(i).DrawScales(*dc);
    }
    context.RestoreState();
}

void SPIRO_DataPaneView::MouseDown(const AppKit::Event& e)
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

void SPIRO_DataPaneView::MouseUp(const AppKit::Event& e)
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

void SPIRO_DataPaneView::MarkerDragLoop(const AppKit::Event& down)
{
    if (mPane == nullptr || GetWindow() == nullptr)
        return;
    mPane->OnLButtonDown(ConvertModifiers(down.modifierFlags), LocalMousePos(down));
    while (auto next = GetWindow()->NextEventMatchingMask(AppKit::kLeftMouseDraggedMask | AppKit::kLeftMouseUpMask)) {
        mLastMousePos = LocalMousePos(*next);
        const unsigned flags = ConvertModifiers(next->modifierFlags);
        if (next->type == AppKit::EventType::MouseUp) {
            mPane->OnLButtonUp(flags, mLastMousePos);
            return;
        }
        mPane->OnMouseMove(flags, mLastMousePos);
    }
}

void SPIRO_DataPaneView::RightMouseDown(const AppKit::Event& e)
{
    if (mPane != nullptr)
        mPane->OnRButtonDown(ConvertModifiers(e.modifierFlags), LocalMousePos(e));
}

void SPIRO_DataPaneView::RightMouseUp(const AppKit::Event& e)
{
    if (mPane != nullptr)
        mPane->OnRButtonUp(ConvertModifiers(e.modifierFlags), LocalMousePos(e));
}

void SPIRO_DataPaneView::MouseMoved(const AppKit::Event& e)
{
    if (mPane == nullptr)
        return;
    mLastMousePos = LocalMousePos(e);
    mLastFlags = ConvertModifiers(e.modifierFlags);
    mPane->OnMouseMove(mLastFlags, mLastMousePos);
    RefreshCursor(mLastMousePos);
}

void SPIRO_DataPaneView::MouseDragged(const AppKit::Event& e)
{
    MouseMoved(e);
}

void SPIRO_DataPaneView::MouseEntered(const AppKit::Event& e)
{
    AppKit::Cursor::Current().Push();
    RefreshCursor(LocalMousePos(e));
}

void SPIRO_DataPaneView::MouseExited(const AppKit::Event&)
{
    if (mPane != nullptr)
        mPane->OnMouseLeave();
    AppKit::Cursor::Pop();
}

void SPIRO_DataPaneView::FlagsChanged(const AppKit::Event& e)
{
    if (mPane == nullptr)
        return;
    mLastFlags = ConvertModifiers(e.modifierFlags);
    mPane->OnMouseMove(mLastFlags, mLastMousePos);
    RefreshCursor(mLastMousePos);
}

void SPIRO_DataPaneView::ScrollWheel(const AppKit::Event& e)
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
