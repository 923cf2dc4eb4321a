// The preview control on the widget model: three buttons beside the scales that show the
// document's record, monitor and pause. The button pressed is highlighted a moment later (so
// that the press shows first); highlighting the document's button also disables pausing.
#pragma once

#include <memory>

#include "appkit/View.h"
#include "trace/PreviewControl.h"

namespace OrrelDraw {

class PreviewDataPane;
class PreviewControlMac;

// The control's view, holding the three buttons.
class SPIRO_KVDPreviewControl final : public AppKit::Control {
public:
    using AppKit::Control::Control;
    const char* ClassName() const override { return "SPIRO_KVDPreviewControl"; }
};

// The target of the three buttons.
class SPIRO_PreviewControlActionHandler final : public AppKit::Responder {
public:
    explicit SPIRO_PreviewControlActionHandler(PreviewControlMac& control) : mControl(control) {}
    bool RespondsTo(const std::string& selector) const override;
    bool Perform(const std::string& selector, void* sender) override;

private:
    PreviewControlMac& mControl;
};

class PreviewControlMac final : public PreviewControl {
public:
    static constexpr int kWidth = 60, kHeight = 20;
    // Seconds between a press and its button's highlight.
    static constexpr double kHighlightDelay = 0.1;

    PreviewControlMac(PreviewDataPane* pane, AppKit::View& superview, uint32_t controlFlags);
    ~PreviewControlMac() override;

    void SetPosition(const TRect& rect) override;
    bool IsEnabled() const override { return mEnabled; }
    void SetEnabled(bool enabled) override;
    void GetSize(TSize* size) const override { *size = TSize(kWidth, kHeight); }
    void EnableButtons(unsigned) override {}
    void DepressOrrelViewBtn() override { OrrelViewBtnClicked(); }
    void Invalidate() override { mControl->SetNeedsDisplay(); }
    void SetOnlineAutoScrollControl(bool) override {}
    void SetAutoScaleXTooltip(const KVD::String&) override {}

    // The buttons' actions.
    void OrrelViewBtnClicked();
    void StartPreviewBtnClicked();
    void StopPreviewBtnClicked();

    SPIRO_KVDPreviewControl& Control() const { return *mControl; }
    SPIRO_PreviewControlActionHandler& ActionHandler() const { return *mHandler; }

private:
    AppKit::Button& AddButton(const std::string& id, const std::string& image, const std::string& action, double x);
    // Clears the other buttons' highlight now and highlights this one after the delay.
    void Press(AppKit::Button* button);
    void SetHighlighted(AppKit::Button* button);
    void ApplyEnabled();

    std::unique_ptr<SPIRO_PreviewControlActionHandler> mHandler;
    SPIRO_KVDPreviewControl* mControl;  // owned by its superview
    AppKit::Button* mOrrelView = nullptr;
    AppKit::Button* mStart = nullptr;
    AppKit::Button* mStop = nullptr;
    PreviewDataPane* mPane;
    bool mEnabled = true;
    bool mStopEnabled = true;
    int mHighlightTimer = 0;
};

}  // namespace OrrelDraw
