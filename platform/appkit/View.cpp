#include "appkit/View.h"

namespace AppKit {

View& View::AddSubview(std::unique_ptr<View> view)
{
    view->mSuperview = this;
    mSubviews.push_back(std::move(view));
    return *mSubviews.back();
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

void PopUpButton::SelectItemAt(long index)
{
    if (index >= 0 && size_t(index) < mItems.size())
        mSelected = index;
}

bool PopUpButton::PickItemAt(long index)
{
    if (!IsEnabled() || index < 0 || size_t(index) >= mItems.size())
        return false;
    mSelected = index;
    return SendAction();
}

bool Control::SendAction()
{
    return mTarget != nullptr && !mAction.empty() && mTarget->RespondsTo(mAction) && mTarget->Perform(mAction, this);
}

}  // namespace AppKit
