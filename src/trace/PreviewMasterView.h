// The view a dialog puts its preview in: the data-pane view over its whole frame and, at its
// top left, the buttons of the trace view modes (stack, overlay, source only) that go to the
// preview's owner.
#pragma once

#include "appkit/View.h"
#include "trace/DataPaneView.h"

namespace ExtLib {
class PreviewPaneBase;
}

namespace OrrelDraw {

class PreviewMasterView final : public AppKit::View {
public:
    static constexpr double kButtonSize = 23;

    explicit PreviewMasterView(AppKit::Rect frame, bool withTraceViewModeButtons = true);
    ~PreviewMasterView() override;
    const char* ClassName() const override { return "PreviewMasterView"; }

    void SetFrame(const AppKit::Rect& frame) override;
    void SetPreviewPane(ExtLib::PreviewPaneBase* preview) { mPreview = preview; }
    DataPaneView& DataTraceView() const { return *mDataView; }

    bool RespondsTo(const std::string& selector) const override;
    bool Perform(const std::string& selector, void* sender) override;

private:
    AppKit::Button& AddButton(const std::string& id, const std::string& image, const std::string& tip, double x);

    DataPaneView* mDataView;  // a subview
    AppKit::Button* mSplit = nullptr;
    AppKit::Button* mOverlay = nullptr;
    AppKit::Button* mSourceOnly = nullptr;
    ExtLib::PreviewPaneBase* mPreview = nullptr;  // not owned
};

}  // namespace OrrelDraw
