#include "appkit/SplitView.h"

#include <algorithm>

namespace AppKit {

void SplitView::Place(View& pane, double start, double length)
{
    pane.SetFrame(mVertical ? Rect{start, 0, length, Across()} : Rect{0, start, Across(), length});
}

void SplitView::AdjustSubviews()
{
    const auto& panes = Subviews();
    if (panes.empty())
        return;
    double total = 0;
    size_t shown = 0;
    for (const auto& pane : panes)
        if (!pane->IsHidden()) {
            total += PaneLength(*pane, mVertical);
            ++shown;
        }
    const double room = Length() - DividerThickness() * (panes.size() - 1);
    double at = 0;
    for (const auto& pane : panes) {
        if (pane->IsHidden()) {
            at += DividerThickness();
            continue;
        }
        const double length = total > 0 ? room * PaneLength(*pane, mVertical) / total : room / double(shown);
        Place(*pane, at, std::max(length, 0.0));
        at += length + DividerThickness();
    }
    if (mDelegate.didResizeSubviews)
        mDelegate.didResizeSubviews(*this);
}

void SplitView::ResizeSubviewsWithOldSize(const Gfx::Size& old)
{
    // The last shown pane takes the change; the others keep their lengths.
    const double delta = Length() - (mVertical ? old.width : old.height);
    const auto& panes = Subviews();
    double at = 0;
    View* last = nullptr;
    for (const auto& pane : panes)
        if (!pane->IsHidden())
            last = pane.get();
    for (const auto& pane : panes) {
        if (!pane->IsHidden()) {
            const double length = std::max(PaneLength(*pane, mVertical) + (pane.get() == last ? delta : 0), 0.0);
            Place(*pane, at, length);
            at += length;
        }
        at += DividerThickness();
    }
    if (mDelegate.didResizeSubviews)
        mDelegate.didResizeSubviews(*this);
}

double SplitView::PositionOfDivider(size_t divider) const
{
    const auto& panes = Subviews();
    double at = 0;
    for (size_t i = 0; i <= divider && i < panes.size(); ++i)
        at += PaneLength(*panes[i], mVertical) + (i < divider ? DividerThickness() : 0);
    return at;
}

void SplitView::SetPositionOfDivider(double position, size_t divider)
{
    const auto& panes = Subviews();
    if (divider + 1 >= panes.size())
        return;
    View& before = *panes[divider];
    View& after = *panes[divider + 1];
    const double start = PositionOfDivider(divider) - PaneLength(before, mVertical);
    const double end = PositionOfDivider(divider + 1) - DividerThickness();  // the furthest the divider goes
    double lo = start, hi = end;
    if (mDelegate.constrainMin)
        lo = std::max(lo, mDelegate.constrainMin(*this, start, divider));
    if (mDelegate.constrainMax)
        hi = std::min(hi, mDelegate.constrainMax(*this, end, divider));
    // Past half the way to the edge beyond a limit, a pane that may collapse does.
    const bool collapseBefore = position < lo && position < start + (lo - start) / 2 && mDelegate.canCollapse &&
                                mDelegate.canCollapse(*this, before);
    const bool collapseAfter = position > hi && position > hi + (end - hi) / 2 && mDelegate.canCollapse &&
                               mDelegate.canCollapse(*this, after);
    before.SetHidden(collapseBefore);
    after.SetHidden(collapseAfter);
    const double at = collapseBefore ? start : collapseAfter ? end : std::min(std::max(position, lo), hi);
    if (!collapseBefore)
        Place(before, start, at - start);
    if (!collapseAfter)
        Place(after, at + DividerThickness(), std::max(end - at, 0.0));
    if (mDelegate.didResizeSubviews)
        mDelegate.didResizeSubviews(*this);
}

long SplitView::DividerAt(const Gfx::Point& p) const
{
    for (size_t i = 0; i + 1 < Subviews().size(); ++i) {
        const double at = PositionOfDivider(i);
        if (Along(p) >= at && Along(p) < at + DividerThickness())
            return long(i);
    }
    return -1;
}

void SplitView::MouseDown(const Event& e)
{
    mDragging = DividerAt(ConvertPointFromWindow(e.locationInWindow));
    if (mDragging < 0)
        View::MouseDown(e);
}

void SplitView::MouseDragged(const Event& e)
{
    if (mDragging < 0)
        return View::MouseDragged(e);
    // The divider's middle follows the mouse.
    SetPositionOfDivider(Along(ConvertPointFromWindow(e.locationInWindow)) - DividerThickness() / 2, size_t(mDragging));
}

void SplitView::MouseUp(const Event& e)
{
    if (mDragging < 0)
        return View::MouseUp(e);
    mDragging = -1;
}

}  // namespace AppKit
