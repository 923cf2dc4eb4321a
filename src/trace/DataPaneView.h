// The view that hosts a data pane: it sizes the pane beside its scales, paints it and its
// scales (in the strips its superview keeps free left and right of it), and hands it the mouse with modifiers, double clicks, the wheel (through a buffer of small steps),
// tracking and the cursor.
#pragma once

#include "appkit/View.h"
#include "trace/DataPane.h"

namespace OrrelDraw {

// The pane's modifier flags of the platform's.
namespace PaneModifier {
constexpr unsigned kControl = 1;
constexpr unsigned kShift = 16;
constexpr unsigned kOption = 128;
constexpr unsigned kCommand = 256;
}  // namespace PaneModifier

class SPIRO_DataPaneView final : public AppKit::View {
public:
    // A view over the whole parent, added to it.
    static SPIRO_DataPaneView& Create(AppKit::View& parent);
    ~SPIRO_DataPaneView() override;

    const char* ClassName() const override { return "SPIRO_DataPaneView"; }
    bool IsFlipped() const override { return true; }
    bool AcceptsFirstResponder() const override { return true; }

    void SetPreviewPane(DataPane* pane);
    DataPane* PreviewPane() const { return mPane; }
    void SetDataPaneRightInset(int inset) { mRightInset = inset; }
    // The least width left of the pane, however narrow its scales (room for the superview's own
    // controls there).
    void SetLeftReserve(int width) { mLeftReserve = width; }
    void ResetSizeAndPos();
    void SetupTrackingArea();

    static unsigned ConvertModifiers(unsigned platformFlags);

    void ViewDidMoveToWindow() override;
    // Lays the view out again when its scales need another width than they were given.
    void ViewWillDraw() override;
    void ViewWillStartLiveResize() override;
    void ViewDidEndLiveResize() override;
    void DrawSelf(Gfx::Context& context) override;
    void MouseDown(const AppKit::Event& e) override;
    void MouseUp(const AppKit::Event& e) override;
    void RightMouseDown(const AppKit::Event& e) override;
    void RightMouseUp(const AppKit::Event& e) override;
    void MouseMoved(const AppKit::Event& e) override;
    void MouseDragged(const AppKit::Event& e) override;
    void MouseEntered(const AppKit::Event& e) override;
    void MouseExited(const AppKit::Event& e) override;
    void FlagsChanged(const AppKit::Event& e) override;
    void ScrollWheel(const AppKit::Event& e) override;
    // A marker drag from the mouse-down: takes the drags and the mouse-up from the window's queue
    // itself, so that the whole drag reaches the pane even when events arrive faster than paints.
    void MarkerDragLoop(const AppKit::Event& down);

    double ScrollWheelBuffer() const { return mWheelBuffer; }

private:
    explicit SPIRO_DataPaneView(const AppKit::Rect& frame) : View(frame) {}
    // The room under the view that the pane's controls take.
    double ControlRowHeight() const;
    TPoint LocalMousePos(const AppKit::Event& e) const;
    void RefreshCursor(const TPoint& at);

    DataPane* mPane = nullptr;  // not owned
    int mTrackingArea = 0;
    TPoint mLastMousePos;
    unsigned mLastFlags = 0;
    double mWheelBuffer = 0;
    int mClearTimer = 0;
    int mRightInset = 0;
    int mLeftScaleWidth = 0, mRightScaleWidth = 0;  // as last laid out
    int mLeftReserve = 0;
};

}  // namespace OrrelDraw
