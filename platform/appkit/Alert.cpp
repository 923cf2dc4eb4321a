#include "appkit/Alert.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace AppKit {
namespace {

// A script that answers with a button the alert lacks is a broken test: it stops here, loudly,
// rather than pressing some other button (which code under test might even catch and hide).
[[noreturn]] void ScriptFailed(const std::string& title, const std::string& what, const std::vector<std::string>& choices)
{
    std::string listed;
    for (const std::string& c : choices)
        listed += (listed.empty() ? "\"" : ", \"") + c + "\"";
    std::fprintf(stderr, "scripted answer \"%s\" is no %s (%s)\n", title.c_str(), what.c_str(), listed.c_str());
    std::abort();
}

std::vector<std::string> ItemTitles(const Menu& menu)
{
    std::vector<std::string> titles;
    for (size_t i = 0; i < menu.ItemCount(); ++i)
        if (!menu.ItemAt(i).IsSeparator())
            titles.push_back(menu.ItemAt(i).Title());
    return titles;
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

void AlertPresenter::Script(std::vector<std::string> titles) { mScript.insert(mScript.end(), titles.begin(), titles.end()); }

size_t AlertPresenter::Present(const Alert& alert)
{
    mShown.push_back(alert);
    if (!mScript.empty()) {
        const std::string title = mScript.front();
        mScript.pop_front();
        const auto& buttons = alert.Buttons();
        const auto it = std::find(buttons.begin(), buttons.end(), title);
        if (it == buttons.end())
            ScriptFailed(title, "button of the alert \"" + alert.messageText + "\"", buttons);
        return static_cast<size_t>(it - buttons.begin());
    }
    return mResponder ? mResponder(alert) : 0;
}

MenuItem* AlertPresenter::ChooseFromMenu(Menu& menu)
{
    menu.Update();
    mMenus.push_back(ItemTitles(menu));
    if (mScript.empty())
        return mMenuResponder ? mMenuResponder(menu) : nullptr;
    const std::string title = mScript.front();
    mScript.pop_front();
    if (title.empty())
        return nullptr;
    MenuItem* item = menu.FindPath(title);
    if (item == nullptr)
        ScriptFailed(title, "item of the menu", mMenus.back());
    return item;
}

}  // namespace AppKit
