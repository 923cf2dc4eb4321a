#include "appkit/TabView.h"

#include "appkit/NotificationCenter.h"

namespace AppKit {

namespace {

constexpr double kTabWidth = 90;

}  // namespace

View& TabView::AddTab(const std::string& identifier, const std::string& label)
{
    auto page = std::make_unique<View>(Rect{0, kTabHeight, Frame().width, Frame().height - kTabHeight});
    page->SetAutoresizingMask(kWidthSizable | kHeightSizable);
    page->SetHidden(!mTabs.empty());
    View& added = AddSubview(std::move(page));
    mTabs.push_back({identifier, label, &added});
    return added;
}

void TabView::SelectTabAt(size_t index)
{
    if (index >= mTabs.size() || long(index) == mSelected)
        return;
    mSelected = long(index);
    for (size_t i = 0; i < mTabs.size(); ++i)
        mTabs[i].view->SetHidden(i != index);
    SetNeedsDisplay();
    NotificationCenter::Default().Post(kDidSelectTab, this);
}

bool TabView::SelectTabWithIdentifier(const std::string& identifier)
{
    for (size_t i = 0; i < mTabs.size(); ++i)
        if (mTabs[i].identifier == identifier) {
            SelectTabAt(i);
            return true;
        }
    return false;
}

Rect TabView::TabRect(size_t index) const { return {4 + kTabWidth * double(index), 0, kTabWidth, kTabHeight}; }

long TabView::TabAt(const Gfx::Point& p) const
{
    for (size_t i = 0; i < mTabs.size(); ++i) {
        const Rect r = TabRect(i);
        if (p.x >= r.x && p.x < r.Right() && p.y >= r.y && p.y < r.Bottom())
            return long(i);
    }
    return -1;
}

void TabView::MouseDown(const Event& e)
{
    const long tab = TabAt(ConvertPointFromWindow(e.locationInWindow));
    if (tab >= 0)
        SelectTabAt(size_t(tab));
}

}  // namespace AppKit
