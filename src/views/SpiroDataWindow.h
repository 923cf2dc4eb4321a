// The data view's window: a split view with the flow plot above the volume plot, an overlay
// over each plot's data area, and a readout line per plot under them.
#pragma once

#include <string>

#include "framework/KVDDocViewWindowController.h"
#include "views/ReadoutLines.h"

namespace AppKit {
class SplitView;
class TextField;
}

class AnnotationViewBase;

namespace Spirometry {
class SpiroDataView;
class SpiroDocument;
}

class SpiroDataWindow : public SPIRO_KVDDocViewWindowController, public ReadoutLines {
public:
    static constexpr const char* kNibName = "SpiroDataWindow";
    // Neither plot may be squeezed under this height by the divider.
    static constexpr double kMinPlotHeight = 200;
    // The plot page's margins round its data area: the y scale's width and the x scale's
    // height, and the markup's top and right margins.
    static constexpr double kScaleWidth = 75, kScaleHeight = 75, kTopMargin = 20, kRightMargin = 40;

    // initWithDocView:andDocument:
    SpiroDataWindow(Spirometry::SpiroDataView* view, Spirometry::SpiroDocument* document);

    bool SetOutlet(const std::string& name, AppKit::View* view) override;
    void AwakeFromNib() override;
    // The pages load once the window is the controller's, so that their first update finds it.
    void WindowDidLoad() override;
    void OnFrameLoaded(const Web::WebFrame& frame) override;
    void ForgetOwnerView() override;

    // A plot's frame narrowed to its data area; flipped frames count y from the top.
    static AppKit::Rect AdjustDataFrame(const AppKit::Rect& frame, bool flipped);
    std::string ViewName() const;
    // The split view's divider limits.
    double ConstrainMin(double proposed) const;
    double ConstrainMax(double proposed) const;
    // The readout lines; either number may be missing, and then the line is cleared.
    void UpdateFlow(const double* value, const double* seconds) override;
    void UpdateVolume(const double* value, const double* seconds) override;

    AppKit::SplitView* Splitter() const { return mSplitter; }
    AppKit::View* FlowFrame() const { return mFlowFrame; }
    AppKit::View* VolumeFrame() const { return mVolumeFrame; }
    AnnotationViewBase* FlowAnnotation() const { return mFlowAnnotation; }
    AnnotationViewBase* VolumeAnnotation() const { return mVolumeAnnotation; }
    AppKit::TextField* FlowReadout() const { return mFlowReadout; }
    AppKit::TextField* VolumeReadout() const { return mVolumeReadout; }

private:
    void AttachPlot(bool flow);

    Spirometry::SpiroDataView* mDocView;     // not retained
    Spirometry::SpiroDocument* mDocument;    // not retained
    AppKit::SplitView* mSplitter = nullptr;
    AppKit::View* mFlowFrame = nullptr;
    AppKit::View* mVolumeFrame = nullptr;
    AnnotationViewBase* mFlowAnnotation = nullptr;    // inside the flow plot's web view
    AnnotationViewBase* mVolumeAnnotation = nullptr;  // inside the volume plot's web view
    AppKit::TextField* mFlowReadout = nullptr;
    AppKit::TextField* mVolumeReadout = nullptr;
};
