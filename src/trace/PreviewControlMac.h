// The preview control on the widget model: three buttons beside the scales that show the
// document's record, monitor and pause; the button of the current mode is highlighted.
#pragma once

#include "appkit/View.h"
#include "trace/PreviewControl.h"

namespace OrrelDraw {

class PreviewDataPane;

class PreviewControlMac final : public PreviewControl, public AppKit::Responder {
public:
    static constexpr int kWidth = 60, kHeight = 20;

    PreviewControlMac(PreviewDataPane* pane, AppKit::View& superview, uint32_t controlFlags);
    ~PreviewControlMac() override;

    void SetPosition(const TRect& rect) override;
    bool IsEnabled() const override { return mEnabled; }
    void SetEnabled(bool enabled) override;
    void GetSize(TSize* size) const override { *size = TSize(kWidth, kHeight); }
    void EnableButtons(unsigned) override {}
    void DepressOrrelViewBtn() override { Perform("orrelView:", nullptr); }
    void Invalidate() override { mControl->SetNeedsDisplay(); }
    void SetOnlineAutoScrollControl(bool) override {}
    void SetAutoScaleXTooltip(const KVD::String&) override {}

    bool RespondsTo(const std::string& selector) const override;
    bool Perform(const std::string& selector, void* sender) override;

    AppKit::Control& Control() const { return *mControl; }

private:
    AppKit::Button& AddButton(const std::string& id, const std::string& image, double x);
    // Highlights one button; pausing is possible only after monitoring began.
    void Highlight(AppKit::Button* on);
    void ApplyEnabled();

    AppKit::Control* mControl;  // owned by its superview
    AppKit::Button* mOrrelView = nullptr;
    AppKit::Button* mStart = nullptr;
    AppKit::Button* mStop = nullptr;
    PreviewDataPane* mPane;
    bool mEnabled = true;
    bool mStopEnabled = true;
};

}  // namespace OrrelDraw
