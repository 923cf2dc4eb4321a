// The loop view's window: the plot page in the layout's plot frame; every loaded frame goes to
// the view.
#pragma once

#include "framework/KVDDocViewWindowController.h"

namespace Spirometry {
class SpiroLoopView;
}

class SpiroLoopWindow : public SPIRO_KVDDocViewWindowController {
public:
    static constexpr const char* kNibName = "SpiroLoopWindow";
    static constexpr const char* kFrameOutlet = "plotFrame";

    // initWithDocView:
    explicit SpiroLoopWindow(Spirometry::SpiroLoopView* view);

    bool SetOutlet(const std::string& name, AppKit::View* view) override;
    // The plot's web view goes into the plot frame.
    void AwakeFromNib() override;
    // Then the plot page loads, with no base URL.
    void WindowDidLoad() override;
    void OnFrameLoaded(const Web::WebFrame& frame) override;
    void ForgetOwnerView() override;

private:
    Spirometry::SpiroLoopView* mDocView;  // not owned
    AppKit::View* mFrame = nullptr;
};
