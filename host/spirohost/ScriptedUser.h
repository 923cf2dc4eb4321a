// The user of spirohost's dialogs: actions given on the command line ("set FIELD=TEXT",
// "choose POPUP=ITEM", "click CONTROL", "press BUTTON", "snapshot FILE", "wait SECONDS") answer
// every modal dialog that opens, nested ones included, in order.
#pragma once

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "appkit/UserDriver.h"
#include "appkit/Window.h"
#include "spirohost/Options.h"

namespace SpiroHost {

class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One thing the user does: "set FIELD=TEXT" types into a field and leaves it with tab,
// "choose POPUP=ITEM" picks an item, "click CONTROL" or "press BUTTON" clicks, "snapshot
// FILE" saves a picture of the dialog, "wait SECONDS" lets the run loop (timers, live sampling)
// run that long. Controls are named by outlet, identifier or title.
struct Action {
    std::string verb;
    std::string target;
    std::string value;
};

// Throws ScriptError for a text that is not one of the actions, naming the option it came with.
Action ParseAction(const std::string& text, const std::string& option = "--do");

// The outputs, then the snapshots among the actions (given with option) as the outputs they write.
std::vector<Output> WithSnapshots(std::vector<Output> outputs, const std::deque<Action>& actions,
                                  const std::string& option);

// Answers every modal dialog from one queue of actions, nested dialogs included: each takes
// actions until it is stopped. A dialog left open when the actions run out, or an action it
// cannot take, is cancelled and the failure kept: nothing may throw through the plug-in.
class ScriptedUser {
public:
    explicit ScriptedUser(std::deque<Action> actions);
    ~ScriptedUser();
    ScriptedUser(const ScriptedUser&) = delete;
    ScriptedUser& operator=(const ScriptedUser&) = delete;

    void Add(std::deque<Action> actions) { mActions.insert(mActions.end(), actions.begin(), actions.end()); }
    const std::string& Failure() const { return mFailure; }
    size_t ActionsLeft() const { return mActions.size(); }

private:
    void Answer(AppKit::Window& window);
    static std::string Errors(const AppKit::Window& window);
    static void Perform(AppKit::UserDriver& user, const Action& a);

    std::deque<Action> mActions;
    std::string mFailure;
};

}  // namespace SpiroHost
