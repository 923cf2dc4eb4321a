#include "appkit/Alert.h"

#include <algorithm>

namespace AppKit {

int Alert::RunModal() const
{
    Alert shown = *this;
    if (shown.mButtons.empty())
        shown.mButtons.push_back("OK");
    const size_t chosen = AlertPresenter::Shared().Present(shown);
    return kFirstButton + static_cast<int>(std::min(chosen, shown.mButtons.size() - 1));
}

AlertPresenter& AlertPresenter::Shared()
{
    static AlertPresenter presenter;
    return presenter;
}

void AlertPresenter::Script(std::vector<std::string> buttonTitles)
{
    mScript = std::move(buttonTitles);
    std::reverse(mScript.begin(), mScript.end());  // taken from the back
}

size_t AlertPresenter::Present(const Alert& alert)
{
    mShown.push_back(alert);
    if (!mScript.empty()) {
        const std::string title = mScript.back();
        mScript.pop_back();
        const auto& buttons = alert.Buttons();
        const auto it = std::find(buttons.begin(), buttons.end(), title);
        return it == buttons.end() ? 0 : static_cast<size_t>(it - buttons.begin());
    }
    return mResponder ? mResponder(alert) : 0;
}

}  // namespace AppKit
