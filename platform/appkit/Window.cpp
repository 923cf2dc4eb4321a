#include "appkit/Window.h"

#include <algorithm>
#include <cmath>

#include "cf/FileBytes.h"
#include "graphics/Canvas.h"

namespace AppKit {

Window::Window(Rect frame, std::string title) : mFrame(frame), mTitle(std::move(title))
{
    SetContentView(std::make_unique<View>(Rect{0, 0, frame.width, frame.height}));
}

Window::~Window()
{
    if (mContent)
        mContent->mWindow = nullptr;
}

void Window::SetFrame(const Rect& frame)
{
    mFrame = frame;
    mContent->SetFrame({0, 0, frame.width, frame.height});
    if (mController)
        mController->WindowDidMoveOrResize(*this);
}

namespace {

void ForEachView(View& view, const std::function<void(View&)>& act)
{
    act(view);
    for (const auto& sub : view.Subviews())
        ForEachView(*sub, act);
}

}  // namespace

void Window::SetContentView(std::unique_ptr<View> content)
{
    if (mContent) {
        ViewWillLeave(*mContent);
        mContent->mWindow = nullptr;
    }
    mContent = std::move(content);
    mContent->mWindow = this;
    ForEachView(*mContent, [](View& v) { v.ViewDidMoveToWindow(); });
}

void Window::ResizeByUser(const Gfx::Size& size)
{
    ForEachView(*mContent, [](View& v) { v.ViewWillStartLiveResize(); });
    SetFrame({mFrame.x, mFrame.y, size.width, size.height});
    ForEachView(*mContent, [](View& v) { v.ViewDidEndLiveResize(); });
}

bool Window::RenderToPng(const std::string& path, bool withTitleBar) const
{
    const std::string png = RenderPng(withTitleBar);
    return !png.empty() && CF::WriteFileBytes(path, png);
}

std::string Window::RenderPng(bool withTitleBar, std::string* failure) const
{
    const double bar = withTitleBar ? kTitleBarHeight : 0;
    auto canvas = Gfx::Canvas::CreateImage(static_cast<int>(std::ceil(mFrame.width)),
                                           static_cast<int>(std::ceil(mFrame.height + bar)));
    Gfx::Context& c = canvas->GetContext();
    if (withTitleBar) {
        c.SetFillColor({0.88, 0.88, 0.88, 1});
        c.FillRect({0, 0, mFrame.width, bar});
        const Gfx::Size title = c.MeasureText(mTitle, 13);
        c.DrawText({(mFrame.width - title.width) / 2, (bar - title.height) / 2}, mTitle, 13, {0.1, 0.1, 0.1, 1}, true);
        c.Translate(0, bar);
    }
    c.SetFillColor({1, 1, 1, 1});
    c.FillRect({0, 0, mFrame.width, mFrame.height});
    mContent->Display(c);
    std::string why = mContent->DrawingFailureWithin();
    std::string png = why.empty() ? canvas->PNGData() : std::string();
    if (png.empty() && why.empty())
        why = "the picture could not be encoded as PNG";
    if (failure != nullptr)
        *failure = why;
    return png;
}

void Window::Close()
{
    if (!mVisible)
        return;
    if (mController)
        mController->WindowWillClose(*this);
    mVisible = false;
}

void Window::SendEvent(const Event& e)
{
    View* hit = e.IsMouse() ? mContent->HitTest(e.locationInWindow) : nullptr;
    switch (e.type) {
    case EventType::MouseDown:
        UpdateTracking(e);
        if (hit == nullptr)
            return;
        if (hit->AcceptsFirstResponder() && hit != mFirstResponder)
            MakeFirstResponder(hit);
        mCaptor = hit;
        hit->MouseDown(e);
        break;
    case EventType::RightMouseDown:
        UpdateTracking(e);
        if (hit != nullptr)
            hit->RightMouseDown(e);
        break;
    case EventType::MouseDragged:
        UpdateTracking(e);
        if (View* target = mCaptor ? mCaptor : hit)
            target->MouseDragged(e);
        break;
    case EventType::MouseUp: {
        View* target = mCaptor ? mCaptor : hit;
        mCaptor = nullptr;
        if (target != nullptr)
            target->MouseUp(e);
        UpdateTracking(e);
        break;
    }
    case EventType::RightMouseUp:
        if (hit != nullptr)
            hit->RightMouseUp(e);
        break;
    case EventType::MouseMoved: {
        const std::vector<View*> told = UpdateTracking(e);
        if (hit != nullptr && mAcceptsMouseMoved && std::find(told.begin(), told.end(), hit) == told.end())
            hit->MouseMoved(e);
        break;
    }
    case EventType::ScrollWheel:
        if (hit != nullptr)
            hit->ScrollWheel(e);
        break;
    case EventType::KeyDown:
        if (PerformKeyEquivalent(e))
            return;
        if (mFirstResponder != nullptr)
            mFirstResponder->KeyDown(e);
        else
            KeyDownUnanswered(e);
        break;
    case EventType::FlagsChanged:
        (mFirstResponder != nullptr ? *mFirstResponder : *mContent).FlagsChanged(e);
        break;
    case EventType::MouseEntered:
    case EventType::MouseExited:
        break;  // made by the window from tracking areas, not delivered from outside
    }
}

void Window::DispatchPostedEvents()
{
    while (!mQueue.empty()) {
        const Event e = mQueue.front();
        mQueue.pop_front();
        SendEvent(e);
    }
}

std::optional<Event> Window::NextEventMatchingMask(unsigned mask)
{
    for (auto it = mQueue.begin(); it != mQueue.end(); ++it)
        if (it->Mask() & mask) {
            const Event e = *it;
            mQueue.erase(it);
            if (e.type == EventType::MouseUp)
                mCaptor = nullptr;
            return e;
        }
    return std::nullopt;
}

namespace {

Button* FindKeyEquivalent(View& view, const std::string& key)
{
    if (view.IsHidden())
        return nullptr;
    if (auto* button = dynamic_cast<Button*>(&view))
        if (button->IsEnabled() && button->KeyEquivalent() == key)
            return button;
    for (const auto& sub : view.Subviews())
        if (Button* found = FindKeyEquivalent(*sub, key))
            return found;
    return nullptr;
}

void CollectKeyViews(View& view, std::vector<View*>& out)
{
    if (view.CanBecomeKeyView())
        out.push_back(&view);
    for (const auto& sub : view.Subviews())
        CollectKeyViews(*sub, out);
}

}  // namespace

bool Window::PerformKeyEquivalent(const Event& e)
{
    if (e.characters.empty())
        return false;
    Button* button = FindKeyEquivalent(*mContent, e.characters);
    return button != nullptr && (button->PerformClick(), true);
}

void Window::KeyDownUnanswered(const Event& e)
{
    const bool back = e.characters == Key::kBackTab || (e.characters == Key::kTab && e.Has(kShiftKeyMask));
    if (back)
        SelectPreviousKeyView();
    else if (e.characters == Key::kTab)
        SelectNextKeyView();
}

bool Window::MakeFirstResponder(View* view)
{
    if (view == mFirstResponder)
        return true;
    if (mFirstResponder != nullptr && !mFirstResponder->ResignFirstResponder())
        return false;
    mFirstResponder = nullptr;
    if (view == nullptr)
        return true;
    if (view->GetWindow() != this || !view->AcceptsFirstResponder() || !view->BecomeFirstResponder())
        return false;
    mFirstResponder = view;
    return true;
}

std::vector<View*> Window::KeyViewLoop() const
{
    std::vector<View*> inOrder;
    CollectKeyViews(*mContent, inOrder);
    if (inOrder.empty())
        return inOrder;
    std::vector<View*> loop;
    View* start = mInitial && mInitial->CanBecomeKeyView() ? mInitial : inOrder.front();
    for (View* v = start; v != nullptr && std::find(loop.begin(), loop.end(), v) == loop.end();
         v = KeyViewAfter(v, true))
        loop.push_back(v);
    return loop;
}

View* Window::KeyViewAfter(View* from, bool forward) const
{
    std::vector<View*> inOrder;
    CollectKeyViews(*mContent, inOrder);
    if (inOrder.empty())
        return nullptr;
    if (forward && from != nullptr && from->NextKeyView() != nullptr) {
        // Follow the links, passing over views that cannot take the keys now.
        View* next = from->NextKeyView();
        for (size_t guard = 0; next != nullptr && next != from && guard < 1000; ++guard, next = next->NextKeyView())
            if (next->CanBecomeKeyView() && next->GetWindow() == this)
                return next;
    }
    if (!forward && from != nullptr) {
        // The view whose link leads here, when one does.
        for (View* v : inOrder)
            if (v->NextKeyView() == from)
                return v;
    }
    auto it = std::find(inOrder.begin(), inOrder.end(), from);
    if (it == inOrder.end())
        return forward ? inOrder.front() : inOrder.back();
    if (forward)
        return ++it == inOrder.end() ? inOrder.front() : *it;
    return it == inOrder.begin() ? inOrder.back() : *--it;
}

bool Window::SelectNextKeyView()
{
    View* next = KeyViewAfter(mFirstResponder, true);
    if (mFirstResponder == nullptr && mInitial && mInitial->CanBecomeKeyView())
        next = mInitial;
    return next != nullptr && MakeFirstResponder(next);
}

bool Window::SelectPreviousKeyView()
{
    View* previous = KeyViewAfter(mFirstResponder, false);
    return previous != nullptr && MakeFirstResponder(previous);
}

void Window::ViewWillLeave(View& view)
{
    if (mFirstResponder != nullptr && mFirstResponder->IsDescendantOf(view))
        mFirstResponder = nullptr;
    if (mCaptor != nullptr && mCaptor->IsDescendantOf(view))
        mCaptor = nullptr;
    if (mInitial != nullptr && mInitial->IsDescendantOf(view))
        mInitial = nullptr;
    mInside.erase(std::remove_if(mInside.begin(), mInside.end(),
                                 [&](const Tracked& t) {
                                     return t.view->IsDescendantOf(view) || t.area.owner->IsDescendantOf(view);
                                 }),
                  mInside.end());
}

void Window::TrackingAreaWillGo(View& view, int id)
{
    mInside.erase(std::remove_if(mInside.begin(), mInside.end(),
                                 [&](const Tracked& t) { return t.view == &view && t.id == id; }),
                  mInside.end());
}

namespace {

void CollectAreas(View& view, const Gfx::Point& inWindow, std::vector<std::pair<View*, TrackingArea>>& out)
{
    if (view.IsHidden())
        return;
    if (!view.TrackingAreas().empty()) {
        const Gfx::Point p = view.ConvertPointFromWindow(inWindow);
        for (const TrackingArea& area : view.TrackingAreas())
            if (p.x >= area.rect.x && p.y >= area.rect.y && p.x < area.rect.Right() && p.y < area.rect.Bottom())
                out.emplace_back(&view, area);
    }
    for (const auto& sub : view.Subviews())
        CollectAreas(*sub, inWindow, out);
}

}  // namespace

std::vector<View*> Window::UpdateTracking(const Event& e)
{
    std::vector<std::pair<View*, TrackingArea>> now;
    CollectAreas(*mContent, e.locationInWindow, now);
    // Copies: an owner may change its areas while it hears of them.
    const std::vector<Tracked> before = mInside;
    mInside.clear();
    for (const auto& n : now)
        mInside.push_back({n.first, n.second.id, n.second});
    Event notice = e;
    for (const Tracked& t : before) {
        const bool still = std::any_of(now.begin(), now.end(),
                                       [&](const auto& n) { return n.first == t.view && n.second.id == t.id; });
        if (!still && (t.area.options & TrackingArea::kMouseEnteredAndExited)) {
            notice.type = EventType::MouseExited;
            notice.trackingArea = &t.area;
            t.area.owner->MouseExited(notice);
        }
    }
    for (const auto& n : now) {
        const bool was = std::any_of(before.begin(), before.end(),
                                     [&](const Tracked& t) { return t.view == n.first && t.id == n.second.id; });
        if (!was && (n.second.options & TrackingArea::kMouseEnteredAndExited)) {
            notice.type = EventType::MouseEntered;
            notice.trackingArea = &n.second;
            n.second.owner->MouseEntered(notice);
        }
    }
    std::vector<View*> told;
    if (e.type != EventType::MouseMoved)
        return told;
    for (const auto& n : now)
        if ((n.second.options & TrackingArea::kMouseMoved) &&
            std::find(told.begin(), told.end(), n.second.owner) == told.end()) {
            told.push_back(n.second.owner);
            n.second.owner->MouseMoved(e);
        }
    return told;
}

}  // namespace AppKit
