// The data pane's zoom control on the widget model: compress and expand buttons around a
// ratio pull-down filled by the pane when it opens, and optionally the auto-fit and
// scroll-to-end buttons.
#pragma once

#include <memory>

#include "appkit/View.h"
#include "trace/DataPaneControls.h"
#include "trace/DataPane.h"

namespace OrrelDraw {

// Control-create flags of the zoom control.
constexpr uint32_t kZoomAutoFitButton = 1u << 29;
constexpr uint32_t kZoomScrollToEndButton = 1u << 31;

// The control's view: its buttons and pull-down, and the label of the current ratio.
class SPIRO_KVDZoomControl final : public AppKit::Control {
public:
    using AppKit::Control::Control;
    const char* ClassName() const override { return "SPIRO_KVDZoomControl"; }
    const std::string& DisplayText() const { return mDisplayText; }
    void SetDisplayText(const std::string& text);
    void SetControlsEnabled(bool enabled);

    AppKit::Button* compress = nullptr;
    AppKit::PopUpButton* ratio = nullptr;
    AppKit::Button* expand = nullptr;
    AppKit::Button* autoFit = nullptr;
    AppKit::Button* scrollToEnd = nullptr;

private:
    std::string mDisplayText;
};

class ZoomControlMac;

// The target of the zoom control's buttons and ratio items, and the ratio menu's delegate.
class SPIRO_ZoomControlActionHandler final : public AppKit::Responder {
public:
    explicit SPIRO_ZoomControlActionHandler(ZoomControlMac& control) : mControl(control) {}
    bool RespondsTo(const std::string& selector) const override;
    bool Perform(const std::string& selector, void* sender) override;
    // Lets the pane fill the ratio menu as it opens.
    void MenuNeedsUpdate(AppKit::Menu& menu);

private:
    ZoomControlMac& mControl;
};

class ZoomControlMac final : public ZoomControl {
public:
    ZoomControlMac(DataPane* pane, AppKit::View& superview, uint32_t controlFlags);
    ~ZoomControlMac() override;

    static TSize SizeForFlags(uint32_t controlFlags);

    void SetPosition(const TRect& rect) override;
    bool IsEnabled() const override { return mControl->IsEnabled(); }
    void SetEnabled(bool enabled) override;
    KVD::String CalcCompressionDisplay(const TicksPerPix& ratio) const override;
    void SetCompressionDisplay(const TicksPerPix& ratio) override;
    void SetCompressionDisplayText(const KVD::String& text);
    void GetSize(TSize* size) const override { *size = SizeForFlags(mFlags); }
    void SetOnlineAutoScrollControl(bool) override {}
    void UpdateScrollButtonFlashingState(bool) override {}
    TicksPerPix CommandIdToCompression(int id) const override;
    void Invalidate() override { mControl->SetNeedsDisplay(); }

    // A button's or item's action; false for one the control does not have.
    bool DoAction(const std::string& selector);
    // Fills the pull-down as it opens: the pane's ratio items under the current label.
    void FillMenu(AppKit::Menu& menu);

    SPIRO_KVDZoomControl& Control() const { return *mControl; }
    SPIRO_ZoomControlActionHandler& ActionHandler() const { return *mHandler; }

private:
    AppKit::Button& AddButton(const std::string& id, const std::string& image, const std::string& tip, double x,
                              double width);

    std::unique_ptr<SPIRO_ZoomControlActionHandler> mHandler;
    SPIRO_KVDZoomControl* mControl;  // owned by its superview
    DataPane* mPane;
    uint32_t mFlags;
};

}  // namespace OrrelDraw
