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

    RunLoop& loop = RunLoop::Main();
    const std::string mode = loop.Mode();
    loop.SetMode(RunLoop::kModalPanelMode);
    window.Show();
    mSessions.push_back({&window, false, kModalResponseAbort});
    answer(window);
    const Session session = mSessions.back();
    mSessions.pop_back();
    loop.SetMode(mode);
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
