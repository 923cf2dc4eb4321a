// The data pane's scroll bar over the widget model's scroller: a position within min and max
// with a page, the scroller's hit parts turned into the pane's scroll codes.
#pragma once

#include <memory>

#include "appkit/View.h"
#include "trace/DataPaneControls.h"

namespace OrrelDraw {

class DataPane;
class ScrollBarMac;

// The scroller's target: its action ("scrolled:") and the end of a knob drag ("trackingEnded:").
class SPIRO_ScrollBarActionHandler final : public AppKit::Responder {
public:
    explicit SPIRO_ScrollBarActionHandler(ScrollBarMac& bar) : mBar(bar) {}
    bool RespondsTo(const std::string& selector) const override;
    bool Perform(const std::string& selector, void* sender) override;

private:
    ScrollBarMac& mBar;
};

class ScrollBarMac final : public ScrollBar {
public:
    // The scroller goes into the superview, which owns it.
    ScrollBarMac(DataPane* pane, AppKit::View& superview, uint32_t controlFlags);
    ~ScrollBarMac() override;

    void SetPosition(const TRect& rect) override;
    bool IsEnabled() const override;
    void SetEnabled(bool enabled) override;
    long GetScrollPos() const override;
    void SetScrollPos(long position, bool redraw) override;
    void GetScrollInfo(tagSCROLLINFO* info) const override;
    void SetScrollInfo(tagSCROLLINFO* info, bool redraw) override;
    int GetLineMagnitude() const override { return mLine; }
    int GetPageMagnitude() const override { return mPage; }
    void SetLineMagnitude(int magnitude) override { mLine = magnitude; }
    void SetPageMagnitude(int magnitude) override { mPage = magnitude; }
    void Invalidate() override;

    // The scroller was clicked or dragged: its hit part as the pane's scroll code.
    void Scrolled();
    void ScrollCallback(unsigned code, bool tracking);

    AppKit::Scroller& Scroller() const { return *mScroller; }
    SPIRO_ScrollBarActionHandler& ActionHandler() const { return *mHandler; }

private:
    int mMin = 0;
    int mMax = 10000;
    int mPage = 100;  // also the page magnitude
    int mLine = 1;
    std::unique_ptr<SPIRO_ScrollBarActionHandler> mHandler;
    AppKit::Scroller* mScroller;  // owned by its superview
    AppKit::View& mSuperview;
    bool mDeferTracking = true;
    DataPane* mPane;
    uint32_t mControlFlags;
};

}  // namespace OrrelDraw
