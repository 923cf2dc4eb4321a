// The view a dialog puts its preview in: the data-pane view over its whole frame and, at its
// bottom left, the buttons of the trace view modes (stack, overlay, source only) that go to the
// preview's owner.
#pragma once

#include "appkit/View.h"
#include "trace/DataPaneView.h"

namespace ExtLib {
class PreviewPaneBase;
}

namespace OrrelDraw {

class SPIRO_PreviewMasterView final : public AppKit::View {
public:
    // Square buttons on the view's bottom edge.
    static constexpr double kButtonSize = 23;
    // From the left edge to the right of the last button, and a gap.
    static constexpr int kButtonsWidth = 51 + 23 + 4;

    explicit SPIRO_PreviewMasterView(AppKit::Rect frame, bool withTraceViewModeButtons = true);
    ~SPIRO_PreviewMasterView() override;
    const char* ClassName() const override { return "SPIRO_PreviewMasterView"; }

    void SetFrame(const AppKit::Rect& frame) override;
    void SetPreviewPane(ExtLib::PreviewPaneBase* preview) { mPreview = preview; }
    SPIRO_DataPaneView& DataTraceView() const { return *mDataView; }

    bool RespondsTo(const std::string& selector) const override;
    bool Perform(const std::string& selector, void* sender) override;

private:
    AppKit::Button& AddButton(const std::string& id, const std::string& image, const std::string& tip, double x);

    SPIRO_DataPaneView* mDataView;  // a subview
    AppKit::Button* mSplit = nullptr;
    AppKit::Button* mOverlay = nullptr;
    AppKit::Button* mSourceOnly = nullptr;
    ExtLib::PreviewPaneBase* mPreview = nullptr;  // not owned
};

}  // namespace OrrelDraw
