// The data pane's scroll bar over the widget model's scroller: a position within min and max
// with a page, the scroller's hit parts turned into the pane's scroll codes.
#pragma once

#include "appkit/View.h"
#include "trace/DataPaneControls.h"

namespace OrrelDraw {

class DataPane;

class ScrollBarMac final : public ScrollBar, public AppKit::Responder {
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

    // The scroller's action.
    bool RespondsTo(const std::string& selector) const override;
    bool Perform(const std::string& selector, void* sender) override;
    void ScrollCallback(unsigned code, bool tracking);

    AppKit::Scroller& Scroller() const { return *mScroller; }

private:
    int mMin = 0;
    int mMax = 10000;
    int mPage = 100;  // also the page magnitude
    int mLine = 1;
    AppKit::Scroller* mScroller;  // owned by its superview
    AppKit::View& mSuperview;
    bool mDeferTracking = true;
    DataPane* mPane;
    uint32_t mControlFlags;
};

}  // namespace OrrelDraw
