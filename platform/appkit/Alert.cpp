#include "appkit/Alert.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace AppKit {
namespace {

// A script that answers with a button the alert lacks is a broken test: it stops here, loudly,
// rather than pressing some other button (which code under test might even catch and hide).
[[noreturn]] void ScriptFailed(const std::string& title, const Alert& alert)
{
    std::string buttons;
    for (const std::string& b : alert.Buttons())
        buttons += (buttons.empty() ? "\"" : ", \"") + b + "\"";
    std::fprintf(stderr, "scripted answer \"%s\" is no button of the alert \"%s\" (buttons: %s)\n", title.c_str(),
                 alert.messageText.c_str(), buttons.c_str());
    std::abort();
}

}  // namespace

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
        if (it == buttons.end())
            ScriptFailed(title, alert);
        return static_cast<size_t>(it - buttons.begin());
    }
    return mResponder ? mResponder(alert) : 0;
}

}  // namespace AppKit
