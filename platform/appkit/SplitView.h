// A split view: its subviews side by side (vertical dividers) or one above the other, with
// dividers the user drags. A delegate may limit where a divider goes and allow a pane to
// collapse; a change of the split view's size goes to the last pane.
#pragma once

#include <functional>

#include "appkit/View.h"

namespace AppKit {

class SplitView : public View {
public:
    struct Delegate {
        // The nearest and farthest a divider may go (in the split view's coordinates along
        // the split), given what the split view itself proposes.
        std::function<double(SplitView&, double proposed, size_t divider)> constrainMin;
        std::function<double(SplitView&, double proposed, size_t divider)> constrainMax;
        std::function<bool(SplitView&, View& pane)> canCollapse;
        std::function<void(SplitView&)> didResizeSubviews;
    };

    using View::View;
    const char* ClassName() const override { return "SplitView"; }

    // Vertical: dividers are vertical, panes side by side.
    bool IsVertical() const { return mVertical; }
    void SetVertical(bool vertical) { mVertical = vertical; }
    double DividerThickness() const { return 6; }
    void SetDelegate(Delegate delegate) { mDelegate = std::move(delegate); }

    // Lays the panes out along the split view, sharing its length in proportion to theirs.
    void AdjustSubviews();
    // Where the divider starts (the end of the pane before it).
    double PositionOfDivider(size_t divider) const;
    // Moves a divider as a drag does: within the delegate's limits, collapsing a pane when
    // the divider goes past half its minimum and the delegate allows it.
    void SetPositionOfDivider(double position, size_t divider);
    bool IsSubviewCollapsed(const View& pane) const { return pane.IsHidden(); }
    // The divider under a point of the split view's coordinates, or -1.
    long DividerAt(const Gfx::Point& p) const;

    void MouseDown(const Event& e) override;
    void MouseDragged(const Event& e) override;
    void MouseUp(const Event& e) override;
    void DrawSelf(Gfx::Context& context) override;

protected:
    void ResizeSubviewsWithOldSize(const Gfx::Size& old) override;

private:
    double Along(const Gfx::Point& p) const { return mVertical ? p.x : p.y; }
    double Length() const { return mVertical ? Frame().width : Frame().height; }
    double Across() const { return mVertical ? Frame().height : Frame().width; }
    static double PaneLength(const View& v, bool vertical) { return v.IsHidden() ? 0 : vertical ? v.Frame().width : v.Frame().height; }
    void Place(View& pane, double start, double length);

    bool mVertical = true;
    Delegate mDelegate;
    long mDragging = -1;
};

}  // namespace AppKit
