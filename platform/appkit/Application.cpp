#include "appkit/Application.h"

#include <cstdio>
#include <cstdlib>

#include "appkit/RunLoop.h"

namespace AppKit {

Application& Application::Shared()
{
    static Application application;
    return application;
}

int Application::RunModalForWindow(Window& window)
{
    mShown.push_back(window.Title());
    Answer answer;
    if (!mScript.empty()) {
        answer = std::move(mScript.front());
        mScript.pop_front();
    } else {
        answer = mResponder;
    }
    if (!answer)
        return kModalResponseAbort;  // nobody to answer: the dialog is dismissed

    // The session ends however the answer ends: a failing test throws through here.
    struct Scope {
        Scope(std::vector<Session>& sessions, Window& window) : sessions(sessions), mode(RunLoop::Main().Mode())
        {
            RunLoop::Main().SetMode(RunLoop::kModalPanelMode);
            sessions.push_back({&window, false, kModalResponseAbort});
        }
        ~Scope()
        {
            sessions.pop_back();
            RunLoop::Main().SetMode(mode);
        }
        std::vector<Session>& sessions;
        std::string mode;
    };
    window.Show();
    Session session{};
    {
        Scope scope(mSessions, window);
        answer(window);
        session = mSessions.back();
    }
    if (!session.stopped) {
        std::fprintf(stderr, "the user left the modal window \"%s\" open: no answer stopped it\n", window.Title().c_str());
        std::abort();
    }
    return session.code;
}

void Application::StopModalWithCode(int code)
{
    if (mSessions.empty() || mSessions.back().stopped)
        return;
    mSessions.back().stopped = true;
    mSessions.back().code = code;
}

void Application::BeginSheet(Window& sheet, Window&, const std::function<void(int)>& handler)
{
    const int code = RunModalForWindow(sheet);
    if (handler)
        handler(code);
}

}  // namespace AppKit
