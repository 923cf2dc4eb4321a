// Modal alerts. Nobody sits at the screen: a presenter answers them — a scripted user in
// tests, the host's policy in spirohost — and every alert shown is kept for inspection.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "appkit/Menu.h"

namespace AppKit {

class Alert {
public:
    enum class Style { Warning, Informational, Critical };
    // Button codes of a modal run: the first button answers 1000, the second 1001, ...
    static constexpr int kFirstButton = 1000;

    std::string messageText;
    std::string informativeText;
    Style style = Style::Warning;

    // Buttons in order; an alert without any shows a single "OK".
    void AddButton(const std::string& title) { mButtons.push_back(title); }
    const std::vector<std::string>& Buttons() const { return mButtons; }

    // Shows the alert through the presenter and returns the code of the button chosen.
    int RunModal() const;

private:
    std::vector<std::string> mButtons;
};

// The user who answers alerts (with the index, 0-based, of the button chosen) and chooses
// from pop-up and context menus.
class AlertPresenter {
public:
    using Responder = std::function<size_t(const Alert&)>;
    // The item chosen from a menu, or null when the user dismisses it.
    using MenuResponder = std::function<MenuItem*(const Menu&)>;

    static AlertPresenter& Shared();

    // Without a responder the first button is chosen.
    void SetResponder(Responder responder) { mResponder = std::move(responder); }
    // Without one, menus are dismissed.
    void SetMenuResponder(MenuResponder responder) { mMenuResponder = std::move(responder); }
    // Answers the next alerts and menus with these titles in turn, after those scripted before (a button of an alert; an
    // item of a menu, "Sub|Item" for an item of a submenu, "" to dismiss it), then falls back
    // to the responders. A title that its alert or menu lacks aborts the program with a
    // message: the script is wrong, and no other choice may stand in for it.
    void Script(std::vector<std::string> titles);
    size_t ScriptedAnswersLeft() const { return mScript.size(); }

    size_t Present(const Alert& alert);
    // Shows the menu (its owner fills it first) and answers the item chosen.
    MenuItem* ChooseFromMenu(Menu& menu);
    // The menus shown, each by the titles of its items.
    const std::vector<std::vector<std::string>>& MenusShown() const { return mMenus; }
    const std::vector<Alert>& Shown() const { return mShown; }
    void ClearShown() { mShown.clear(), mMenus.clear(); }

private:
    Responder mResponder;
    MenuResponder mMenuResponder;
    std::deque<std::string> mScript;
    std::vector<std::vector<std::string>> mMenus;
    std::vector<Alert> mShown;
};

}  // namespace AppKit
