#include "trace/ScrollBarMac.h"

#include <cmath>
#include <memory>

#include "trace/DataPane.h"

namespace OrrelDraw {

namespace {
constexpr const char* kScrolledAction = "scrolled:";
constexpr const char* kTrackingEndedAction = "trackingEnded:";
}  // namespace

bool SPIRO_ScrollBarActionHandler::RespondsTo(const std::string& selector) const
{
    return selector == kScrolledAction || selector == kTrackingEndedAction;
}

bool SPIRO_ScrollBarActionHandler::Perform(const std::string& selector, void*)
{
    if (selector == kScrolledAction)
        mBar.Scrolled();
    else if (selector == kTrackingEndedAction)
        mBar.ScrollCallback(ScrollCode::kTrack, true);
    else
        return false;
    return true;
}

ScrollBarMac::ScrollBarMac(DataPane* pane, AppKit::View& superview, uint32_t controlFlags)
    : mHandler(std::make_unique<SPIRO_ScrollBarActionHandler>(*this)),
      mSuperview(superview),
      mPane(pane),
      mControlFlags(controlFlags)
{
    const double height = (controlFlags & kControlTall) != 0 ? 24 : 21;
    auto scroller = std::make_unique<AppKit::Scroller>(AppKit::Rect{0, -2, 30, height});
    scroller->SetIdentifier("dataPaneScroller");
    scroller->SetValue(0);
    scroller->SetKnobProportion(0.1);
    scroller->SetEnabled(true);
    scroller->SetTarget(mHandler.get());
    scroller->SetAction(kScrolledAction);
    mScroller = static_cast<AppKit::Scroller*>(&superview.AddSubview(std::move(scroller)));
}

ScrollBarMac::~ScrollBarMac()
{
    mScroller->SetTarget(nullptr);
    mScroller->RemoveFromSuperview();
}

void ScrollBarMac::Scrolled()
{
    using Part = AppKit::Scroller::Part;
    switch (mScroller->HitPart()) {
    case Part::DecrementPage: ScrollCallback(ScrollCode::kPageLeft, false); break;
    case Part::Knob: ScrollCallback(ScrollCode::kTrack, false); break;
    case Part::IncrementPage: ScrollCallback(ScrollCode::kPageRight, false); break;
    case Part::DecrementLine: ScrollCallback(ScrollCode::kLineLeft, false); break;
    case Part::IncrementLine: ScrollCallback(ScrollCode::kLineRight, false); break;
    case Part::KnobSlot: ScrollCallback(ScrollCode::kEndScroll, false); break;
    case Part::None: break;
    }
}

void ScrollBarMac::ScrollCallback(unsigned code, bool)
{
    // Knob events reach the pane directly: the deferral flag stays set in this program.
    mPane->OnScrollX(code);
    mSuperview.SetNeedsDisplay();
}

void ScrollBarMac::SetPosition(const TRect& rect)
{
    const int shorter = (mControlFlags & kControlTall) != 0 ? 9 : 6;
    mScroller->SetFrame(
        AppKit::Rect{double(rect.left), double(rect.top), double(rect.Width()), double(rect.Height() - shorter)});
}

bool ScrollBarMac::IsEnabled() const
{
    return mScroller->IsEnabled();
}

void ScrollBarMac::SetEnabled(bool enabled)
{
    mScroller->SetEnabled(enabled);
    mScroller->SetHidden(!enabled);
}

long ScrollBarMac::GetScrollPos() const
{
    // Nearest, not truncated: a position set reads back the same through the scroller's fraction.
    return std::lround(mMin + double(mMax - mMin - mPage) * mScroller->Value());
}

void ScrollBarMac::SetScrollPos(long position, bool redraw)
{
    if (mMax == mMin)
        return;
    const int travel = mMax - mMin - mPage;
    // A page as long as the range leaves no travel: the knob sits at the start.
    mScroller->SetValue(travel <= 0 ? 0.0 : double(position - mMin) / travel);
    mScroller->SetKnobProportion(mPage == 0 ? 1.0 : double(mPage) / (mMax - mMin));
    if (redraw)
        mScroller->SetNeedsDisplay();
}

void ScrollBarMac::GetScrollInfo(tagSCROLLINFO* info) const
{
    if (info->mask & ScrollMask::kPage)
        info->page = unsigned(mPage);
    if (info->mask & ScrollMask::kDisableNoScroll) {
        info->min = mMin;
        info->max = mMax;
    }
    if (info->mask & ScrollMask::kPosition)
        info->position = int(GetScrollPos());
    if (info->mask & ScrollMask::kTrackPosition)
        info->trackPosition = int(GetScrollPos());
}

void ScrollBarMac::SetScrollInfo(tagSCROLLINFO* info, bool redraw)
{
    if (info->mask & ScrollMask::kPage)
        mPage = int(info->page);
    if (info->mask & ScrollMask::kDisableNoScroll) {
        mMin = info->min;
        mMax = info->max;
    }
    if (info->mask & ScrollMask::kPosition)
        SetScrollPos(info->position, redraw);
}

void ScrollBarMac::Invalidate()
{
    mScroller->SetNeedsDisplay();
}

}  // namespace OrrelDraw
