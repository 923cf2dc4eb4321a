// A scroll view: shows part of a document view through a clip view, with a vertical and a
// horizontal scroller kept in step. The wheel and the scrollers move the part shown.
#pragma once

#include "appkit/View.h"

namespace AppKit {

class ScrollView : public View {
public:
    static constexpr double kScrollerWidth = 15;
    // Points scrolled per wheel step and per scroller line.
    static constexpr double kLineScroll = 10;

    explicit ScrollView(Rect frame = {});
    const char* ClassName() const override { return "ScrollView"; }

    // The view scrolled; the scroll view owns it.
    View* DocumentView() const { return mDocument; }
    void SetDocumentView(std::unique_ptr<View> document);
    View& ContentView() const { return *mClip; }
    Scroller& VerticalScroller() const { return *mVertical; }
    Scroller& HorizontalScroller() const { return *mHorizontal; }
    bool HasVerticalScroller() const { return !mVertical->IsHidden(); }
    void SetHasVerticalScroller(bool on);
    bool HasHorizontalScroller() const { return !mHorizontal->IsHidden(); }
    void SetHasHorizontalScroller(bool on);

    // The document's point at the top left of the part shown.
    Gfx::Point ScrollOrigin() const;
    // Shows the document from that point, kept within the document.
    void ScrollToPoint(const Gfx::Point& origin);
    // Sets the scrollers' values and knobs from the part shown.
    void ReflectScrolledClipView();
    // Lays out clip view and scrollers within the frame.
    void Tile();

    void ScrollWheel(const Event& e) override;
    bool RespondsTo(const std::string& selector) const override;
    bool Perform(const std::string& selector, void* sender) override;

protected:
    void ResizeSubviewsWithOldSize(const Gfx::Size& old) override;

private:
    // The scroller moved: scroll to its value, by a line or a page by its hit part.
    void ScrollerMoved(Scroller& scroller);
    View* mClip;
    View* mDocument = nullptr;
    Scroller* mVertical;
    Scroller* mHorizontal;
};

}  // namespace AppKit
