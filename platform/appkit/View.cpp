#include "appkit/View.h"

#include <algorithm>
#include <cmath>

#include "appkit/Alert.h"
#include "appkit/Menu.h"
#include "appkit/Window.h"

namespace AppKit {

View::~View()
{
    if (Window* window = GetWindow())
        window->ViewWillLeave(*this);
}

void View::SetFrame(const Rect& frame)
{
    const Gfx::Size old{mFrame.width, mFrame.height};
    mFrame = frame;
    if ((old.width != frame.width || old.height != frame.height) && mAutoresizesSubviews)
        ResizeSubviewsWithOldSize(old);
}

void View::ResizeSubviewsWithOldSize(const Gfx::Size& old)
{
    for (const auto& sub : mSubviews)
        sub->ResizeWithOldSuperviewSize(old, {mFrame.width, mFrame.height});
}

namespace {

// Shares a change of length among the flexible parts of one axis in proportion to their
// lengths (equally when all are empty), as the platform does.
void Distribute(double delta, bool flexible[3], double* parts[3])
{
    double total = 0;
    int count = 0;
    for (int i = 0; i < 3; ++i)
        if (flexible[i]) {
            total += *parts[i];
            ++count;
        }
    if (count == 0)
        return;
    for (int i = 0; i < 3; ++i)
        if (flexible[i])
            *parts[i] += total > 0 ? delta * *parts[i] / total : delta / count;
}

}  // namespace

void View::ResizeWithOldSuperviewSize(const Gfx::Size& old, const Gfx::Size& now)
{
    if (mAutoresizing == kNotSizable)
        return;
    Rect f = mFrame;
    double minX = f.x, width = f.width, maxX = old.width - f.Right();
    bool flexX[3] = {(mAutoresizing & kMinXMargin) != 0, (mAutoresizing & kWidthSizable) != 0,
                     (mAutoresizing & kMaxXMargin) != 0};
    double* partsX[3] = {&minX, &width, &maxX};
    Distribute(now.width - old.width, flexX, partsX);
    double minY = f.y, height = f.height, maxY = old.height - f.Bottom();
    bool flexY[3] = {(mAutoresizing & kMinYMargin) != 0, (mAutoresizing & kHeightSizable) != 0,
                     (mAutoresizing & kMaxYMargin) != 0};
    double* partsY[3] = {&minY, &height, &maxY};
    Distribute(now.height - old.height, flexY, partsY);
    SetFrame({minX, minY, width < 0 ? 0 : width, height < 0 ? 0 : height});
}

bool View::IsHiddenOrHasHiddenAncestor() const
{
    for (const View* v = this; v != nullptr; v = v->mSuperview)
        if (v->mHidden)
            return true;
    return false;
}

namespace {

void TellMovedToWindow(View& view)
{
    view.ViewDidMoveToWindow();
    for (const auto& sub : view.Subviews())
        TellMovedToWindow(*sub);
}

}  // namespace

View& View::AddSubview(std::unique_ptr<View> view)
{
    view->mSuperview = this;
    mSubviews.push_back(std::move(view));
    if (GetWindow() != nullptr)
        TellMovedToWindow(*mSubviews.back());
    return *mSubviews.back();
}

std::unique_ptr<View> View::RemoveFromSuperview()
{
    if (mSuperview == nullptr)
        return nullptr;
    if (Window* window = GetWindow())
        window->ViewWillLeave(*this);
    auto& siblings = mSuperview->mSubviews;
    for (auto it = siblings.begin(); it != siblings.end(); ++it)
        if (it->get() == this) {
            std::unique_ptr<View> self = std::move(*it);
            siblings.erase(it);
            mSuperview = nullptr;
            return self;
        }
    return nullptr;
}

void View::ReplaceSubview(View& old, std::unique_ptr<View> replacement)
{
    for (auto& slot : mSubviews)
        if (slot.get() == &old) {
            if (Window* window = GetWindow())
                window->ViewWillLeave(old);
            replacement->mSuperview = this;
            slot = std::move(replacement);  // the old view goes now
            if (GetWindow() != nullptr)
                TellMovedToWindow(*slot);
            return;
        }
}

bool View::IsDescendantOf(const View& ancestor) const
{
    for (const View* v = this; v != nullptr; v = v->mSuperview)
        if (v == &ancestor)
            return true;
    return false;
}

View* View::FindView(const std::string& identifier)
{
    if (mIdentifier == identifier)
        return this;
    for (const auto& sub : mSubviews)
        if (View* found = sub->FindView(identifier))
            return found;
    return nullptr;
}

Window* View::GetWindow() const
{
    const View* root = this;
    while (root->mSuperview != nullptr)
        root = root->mSuperview;
    return root->mWindow;
}

double View::TopInSuperview() const
{
    if (mSuperview == nullptr || mSuperview->IsFlipped())
        return mFrame.y;
    return mSuperview->mFrame.height - mFrame.y - mFrame.height;
}

Gfx::Point View::ConvertPointFromSuperview(const Gfx::Point& p) const
{
    // Into the superview's top-down space, then this view's, then its own orientation.
    const bool superFlipped = mSuperview == nullptr || mSuperview->IsFlipped();
    const double down = superFlipped ? p.y : mSuperview->mFrame.height - p.y;
    const double local = down - TopInSuperview();
    return {p.x - mFrame.x, IsFlipped() ? local : mFrame.height - local};
}

Gfx::Point View::ConvertPointToSuperview(const Gfx::Point& p) const
{
    const double local = IsFlipped() ? p.y : mFrame.height - p.y;
    const double down = local + TopInSuperview();
    const bool superFlipped = mSuperview == nullptr || mSuperview->IsFlipped();
    return {p.x + mFrame.x, superFlipped ? down : mSuperview->mFrame.height - down};
}

Gfx::Point View::ConvertPointFromWindow(const Gfx::Point& p) const
{
    return mSuperview == nullptr ? ConvertPointFromSuperview(p)
                                 : ConvertPointFromSuperview(mSuperview->ConvertPointFromWindow(p));
}

Gfx::Point View::ConvertPointToWindow(const Gfx::Point& p) const
{
    const Gfx::Point up = ConvertPointToSuperview(p);
    return mSuperview == nullptr ? up : mSuperview->ConvertPointToWindow(up);
}

Gfx::Point View::ConvertPoint(const Gfx::Point& p, const View* from) const
{
    return ConvertPointFromWindow(from == nullptr ? p : from->ConvertPointToWindow(p));
}

Rect View::ConvertRectToWindow(const Rect& r) const
{
    const Gfx::Point a = ConvertPointToWindow({r.x, r.y});
    const Gfx::Point b = ConvertPointToWindow({r.Right(), r.Bottom()});
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x), std::abs(b.y - a.y)};
}

bool View::ContainsPoint(const Gfx::Point& p) const
{
    return p.x >= 0 && p.y >= 0 && p.x < mFrame.width && p.y < mFrame.height;
}

View* View::HitTest(const Gfx::Point& inSuperview)
{
    if (mHidden)
        return nullptr;
    const Gfx::Point local = ConvertPointFromSuperview(inSuperview);
    if (!ContainsPoint(local))
        return nullptr;
    for (auto it = mSubviews.rbegin(); it != mSubviews.rend(); ++it)
        if (View* hit = (*it)->HitTest(local))
            return hit;
    return this;
}

void View::MouseDown(const Event& e)
{
    if (mSuperview)
        mSuperview->MouseDown(e);
}

void View::MouseDragged(const Event& e)
{
    if (mSuperview)
        mSuperview->MouseDragged(e);
}

void View::MouseUp(const Event& e)
{
    if (mSuperview)
        mSuperview->MouseUp(e);
}

void View::MouseMoved(const Event& e)
{
    if (mSuperview)
        mSuperview->MouseMoved(e);
}

void View::MouseEntered(const Event&) {}

void View::MouseExited(const Event&) {}

void View::RightMouseDown(const Event& e)
{
    if (std::shared_ptr<Menu> menu = MenuForEvent(e)) {
        if (MenuItem* chosen = AlertPresenter::Shared().ChooseFromMenu(*menu))
            chosen->Invoke();
        return;
    }
    if (mSuperview)
        mSuperview->RightMouseDown(e);
}

void View::RightMouseUp(const Event& e)
{
    if (mSuperview)
        mSuperview->RightMouseUp(e);
}

void View::ScrollWheel(const Event& e)
{
    if (mSuperview)
        mSuperview->ScrollWheel(e);
}

void View::KeyDown(const Event& e)
{
    if (mSuperview)
        mSuperview->KeyDown(e);
    else if (Window* window = GetWindow())
        window->KeyDownUnanswered(e);
}

void View::FlagsChanged(const Event& e)
{
    if (mSuperview)
        mSuperview->FlagsChanged(e);
}

int View::AddTrackingArea(TrackingArea area)
{
    area.id = mNextTrackingId++;
    if (area.owner == nullptr)
        area.owner = this;
    mTrackingAreas.push_back(area);
    return area.id;
}

void View::RemoveTrackingArea(int id)
{
    for (auto it = mTrackingAreas.begin(); it != mTrackingAreas.end(); ++it)
        if (it->id == id) {
            if (Window* window = GetWindow())
                window->TrackingAreaWillGo(*this, id);
            mTrackingAreas.erase(it);
            return;
        }
}

void TableView::RemoveColumnAt(size_t index)
{
    if (index < mColumns.size())
        mColumns.erase(mColumns.begin() + static_cast<long>(index));
}

long TableView::ColumnWithIdentifier(const std::string& identifier) const
{
    for (size_t i = 0; i < mColumns.size(); ++i)
        if (mColumns[i].identifier == identifier)
            return static_cast<long>(i);
    return -1;
}

void TableView::SetColumnWidth(size_t index, double width)
{
    if (index < mColumns.size())
        mColumns[index].width = width;
}

void TableView::MoveColumn(size_t from, size_t to)
{
    if (from >= mColumns.size() || to >= mColumns.size() || from == to)
        return;
    Column moved = std::move(mColumns[from]);
    mColumns.erase(mColumns.begin() + static_cast<long>(from));
    mColumns.insert(mColumns.begin() + static_cast<long>(to), std::move(moved));
    if (mDelegate.columnDidMove)
        mDelegate.columnDidMove(*this, from, to);
}

void TableView::SelectRow(long row)
{
    const long selected = row >= 0 && size_t(row) < RowCount() ? row : -1;
    if (selected == mSelected)
        return;
    mSelected = selected;
    if (mDelegate.selectionDidChange)
        mDelegate.selectionDidChange(*this);
}

void TableView::ScrollToPoint(const Gfx::Point& origin)
{
    if (origin.x == mScrollOrigin.x && origin.y == mScrollOrigin.y)
        return;
    mScrollOrigin = origin;
    if (mDelegate.boundsDidChange)
        mDelegate.boundsDidChange(*this);
}

}  // namespace AppKit
