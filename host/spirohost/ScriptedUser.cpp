#include "spirohost/ScriptedUser.h"

#include "appkit/Application.h"
#include "appkit/Event.h"
#include "appkit/KVDNumberEditHelper.h"
#include "appkit/RunLoop.h"
#include "host/framework/SafeFile.h"
#include "spirohost/Options.h"

namespace SpiroHost {

namespace {

// The longest a "wait" lets the run loop run, in seconds.
constexpr double kLongestWait = 600;

// What the dialog's error marks say, one after another.
void CollectErrors(const AppKit::View& view, std::string& errors)
{
    if (const auto* mark = dynamic_cast<const KVDErrorProvider*>(&view); mark != nullptr && mark->HasError())
        errors += (errors.empty() ? "" : " ") + mark->Error();
    for (const auto& sub : view.Subviews())
        CollectErrors(*sub, errors);
}

}  // namespace

Action ParseAction(const std::string& text, const std::string& option)
{
    const size_t space = text.find(' ');
    Action action{text.substr(0, space), space == std::string::npos ? "" : text.substr(space + 1), ""};
    const bool takesValue = action.verb == "set" || action.verb == "choose";
    const bool known = takesValue || action.verb == "click" || action.verb == "press" || action.verb == "snapshot" ||
                       action.verb == "wait";
    if (!known || action.target.empty())
        throw ScriptError(option + " \"" + Shortened(text) +
                          "\": not one of set FIELD=TEXT, choose POPUP=ITEM, click CONTROL, press BUTTON, snapshot "
                          "FILE, wait SECONDS");
    if (action.verb == "wait") {
        size_t used = 0;
        double seconds = 0;
        try {
            seconds = std::stod(action.target, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used != action.target.size() || !(seconds > 0 && seconds <= kLongestWait))
            throw ScriptError(option + " \"" + Shortened(text) + "\": wait takes seconds from 0 to 600");
    }
    if (takesValue) {
        const size_t equals = action.target.find('=');
        if (equals == std::string::npos)
            throw ScriptError(option + " \"" + Shortened(text) + "\": " + action.verb + " takes NAME=VALUE");
        action.value = action.target.substr(equals + 1);
        action.target.resize(equals);
    }
    return action;
}

std::vector<Output> WithSnapshots(std::vector<Output> outputs, const std::deque<Action>& actions,
                                  const std::string& option)
{
    for (const Action& a : actions)
        if (a.verb == "snapshot")
            outputs.push_back({option + " snapshot", a.target});
    return outputs;
}

ScriptedUser::ScriptedUser(std::deque<Action> actions) : mActions(std::move(actions))
{
    AppKit::Application::Shared().SetModalResponder([this](AppKit::Window& window) { Answer(window); });
}

ScriptedUser::~ScriptedUser()
{
    AppKit::Application::Shared().SetModalResponder(nullptr);
}

void ScriptedUser::Answer(AppKit::Window& window)
{
    AppKit::UserDriver user(window);
    const AppKit::Application& app = AppKit::Application::Shared();
    try {
        while (!app.ModalSessionStopped()) {
            if (mActions.empty())
                throw ScriptError("the actions ran out with the dialog \"" + window.Title() + "\" open" +
                                  Errors(window));
            const Action action = mActions.front();
            mActions.pop_front();
            Perform(user, action);
        }
    } catch (const std::exception& e) {
        if (mFailure.empty())
            mFailure = e.what();
        mActions.clear();
        AppKit::Application::Shared().StopModalWithCode(AppKit::Application::kModalResponseCancel);
    }
}

std::string ScriptedUser::Errors(const AppKit::Window& window)
{
    std::string errors;
    CollectErrors(window.ContentView(), errors);
    return errors.empty() ? "" : " (" + errors + ")";
}

void ScriptedUser::Perform(AppKit::UserDriver& user, const Action& a)
{
    if (a.verb == "set") {
        user.Type(a.target, a.value);
        user.Press(AppKit::Key::kTab);
    } else if (a.verb == "choose") {
        user.Choose(a.target, a.value);
    } else if (a.verb == "wait") {
        AppKit::RunLoop::Main().RunFor(std::stod(a.target));
    } else if (a.verb == "snapshot") {
        Host::SafeFile file(a.target);
        std::string failure;
        const std::string png = user.GetWindow().RenderPng(true, &failure);
        if (png.empty())
            throw ScriptError(a.target + ": the dialog could not be drawn: " + failure);
        file.Stream() << png;
        file.Commit();
    } else {
        user.Click(a.target);
    }
}

}  // namespace SpiroHost
