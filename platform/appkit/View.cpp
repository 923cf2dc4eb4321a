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

bool Control::SendAction()
{
    return mTarget != nullptr && !mAction.empty() && mTarget->RespondsTo(mAction) && mTarget->Perform(mAction, this);
}

}  // namespace AppKit
