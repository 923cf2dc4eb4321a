#include "appkit/ScrollView.h"

#include <algorithm>

namespace AppKit {
namespace {

constexpr const char* kScrolled = "_scrollerMoved:";

}  // namespace

ScrollView::ScrollView(Rect frame) : View(frame)
{
    mClip = &AddSubview(std::make_unique<View>());
    mVertical = static_cast<Scroller*>(&AddSubview(std::make_unique<Scroller>()));
    mHorizontal = static_cast<Scroller*>(&AddSubview(std::make_unique<Scroller>()));
    for (Scroller* s : {mVertical, mHorizontal}) {
        s->SetTarget(this);
        s->SetAction(kScrolled);
    }
    mHorizontal->SetHidden(true);
    Tile();
}

void ScrollView::SetDocumentView(std::unique_ptr<View> document)
{
    if (mDocument != nullptr)
        mDocument->RemoveFromSuperview();
    mDocument = document ? &mClip->AddSubview(std::move(document)) : nullptr;
    ScrollToPoint({0, 0});
}

void ScrollView::SetHasVerticalScroller(bool on)
{
    mVertical->SetHidden(!on);
    Tile();
}

void ScrollView::SetHasHorizontalScroller(bool on)
{
    mHorizontal->SetHidden(!on);
    Tile();
}

void ScrollView::Tile()
{
    const double w = Frame().width - (HasVerticalScroller() ? kScrollerWidth : 0);
    const double h = Frame().height - (HasHorizontalScroller() ? kScrollerWidth : 0);
    mClip->SetFrame({0, 0, std::max(w, 0.0), std::max(h, 0.0)});
    mVertical->SetFrame({std::max(w, 0.0), 0, kScrollerWidth, std::max(h, 0.0)});
    mHorizontal->SetFrame({0, std::max(h, 0.0), std::max(w, 0.0), kScrollerWidth});
    if (mDocument != nullptr)
        ScrollToPoint(ScrollOrigin());
}

void ScrollView::ResizeSubviewsWithOldSize(const Gfx::Size&) { Tile(); }

Gfx::Point ScrollView::ScrollOrigin() const
{
    if (mDocument == nullptr)
        return {0, 0};
    return {-mDocument->Frame().x, -mDocument->Frame().y};
}

void ScrollView::ScrollToPoint(const Gfx::Point& origin)
{
    if (mDocument == nullptr)
        return;
    const Rect doc = mDocument->Frame();
    const double x = std::min(std::max(origin.x, 0.0), std::max(doc.width - mClip->Frame().width, 0.0));
    const double y = std::min(std::max(origin.y, 0.0), std::max(doc.height - mClip->Frame().height, 0.0));
    mDocument->SetFrame({-x, -y, doc.width, doc.height});
    ReflectScrolledClipView();
}

void ScrollView::ReflectScrolledClipView()
{
    if (mDocument == nullptr)
        return;
    const Rect doc = mDocument->Frame();
    const Gfx::Point origin = ScrollOrigin();
    const double spareX = doc.width - mClip->Frame().width;
    const double spareY = doc.height - mClip->Frame().height;
    mHorizontal->SetKnobProportion(doc.width > 0 ? mClip->Frame().width / doc.width : 1);
    mVertical->SetKnobProportion(doc.height > 0 ? mClip->Frame().height / doc.height : 1);
    mHorizontal->SetValue(spareX > 0 ? origin.x / spareX : 0);
    mVertical->SetValue(spareY > 0 ? origin.y / spareY : 0);
    SetNeedsDisplay();
}

void ScrollView::ScrollWheel(const Event& e)
{
    if (mDocument == nullptr)
        return View::ScrollWheel(e);
    const Gfx::Point origin = ScrollOrigin();
    ScrollToPoint({origin.x - e.deltaX * kLineScroll, origin.y - e.deltaY * kLineScroll});
}

void ScrollView::ScrollerMoved(Scroller& scroller)
{
    if (mDocument == nullptr)
        return;
    const bool vertical = &scroller == mVertical;
    const double page = vertical ? mClip->Frame().height : mClip->Frame().width;
    const double spare = vertical ? mDocument->Frame().height - page : mDocument->Frame().width - page;
    Gfx::Point origin = ScrollOrigin();
    double& along = vertical ? origin.y : origin.x;
    switch (scroller.HitPart()) {
    case Scroller::Part::DecrementLine: along -= kLineScroll; break;
    case Scroller::Part::IncrementLine: along += kLineScroll; break;
    case Scroller::Part::DecrementPage: along -= page; break;
    case Scroller::Part::IncrementPage: along += page; break;
    case Scroller::Part::Knob: along = scroller.Value() * std::max(spare, 0.0); break;
    case Scroller::Part::KnobSlot:
    case Scroller::Part::None: return;
    }
    ScrollToPoint(origin);
}

bool ScrollView::RespondsTo(const std::string& selector) const { return selector == kScrolled; }

bool ScrollView::Perform(const std::string& selector, void* sender)
{
    if (selector != kScrolled || sender == nullptr)
        return false;
    ScrollerMoved(*static_cast<Scroller*>(static_cast<Control*>(sender)));
    return true;
}

}  // namespace AppKit
