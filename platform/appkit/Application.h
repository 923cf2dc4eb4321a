// The application's modal sessions. A modal window runs on the run loop in the modal-panel
// mode (timers of other modes wait) until something stops it with a code. Nobody sits at the
// screen: the user who answers it is a scripted answer in tests (one per session, in order),
// or the host's policy; an answer that leaves the window open stops the program, loudly, as a
// dialog that can never be closed would hang it. With no answer at all the session is aborted.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "appkit/Window.h"

namespace AppKit {

class Application {
public:
    // Codes of a modal session; dialogs stop with their own (1 confirmed, 0 cancelled).
    static constexpr int kModalResponseOK = 1;
    static constexpr int kModalResponseCancel = 0;
    static constexpr int kModalResponseStop = -1000;
    static constexpr int kModalResponseAbort = -1001;

    // Acts on the modal window as the user would until the window is stopped.
    using Answer = std::function<void(Window&)>;

    static Application& Shared();

    // Runs the window modally and answers the code it was stopped with.
    int RunModalForWindow(Window& window);
    // Stops the innermost session with the code; nothing when none runs.
    void StopModalWithCode(int code);
    void StopModal() { StopModalWithCode(kModalResponseStop); }
    void AbortModal() { StopModalWithCode(kModalResponseAbort); }
    // The innermost modal window, or null.
    Window* ModalWindow() const { return mSessions.empty() ? nullptr : mSessions.back().window; }
    // Whether the innermost session was stopped: its answer may still be running. False when
    // none runs.
    bool ModalSessionStopped() const { return !mSessions.empty() && mSessions.back().stopped; }

    // A sheet over a parent window: answered as a modal session; the handler gets the code.
    void BeginSheet(Window& sheet, Window& parent, const std::function<void(int)>& handler);

    // The next sessions are answered by these, in turn.
    void ScriptModal(Answer answer) { mScript.push_back(std::move(answer)); }
    size_t ScriptedAnswersLeft() const { return mScript.size(); }
    // Answers sessions when no script is left.
    void SetModalResponder(Answer responder) { mResponder = std::move(responder); }
    // Help opened at a topic; kept, as there is no help viewer here.
    void ShowHelp(const std::string& topic) { mHelp.push_back(topic); }
    const std::vector<std::string>& HelpTopicsShown() const { return mHelp; }
    // Titles of the windows run modally so far.
    const std::vector<std::string>& ModalTitles() const { return mShown; }
    void ClearShown() { mShown.clear(), mHelp.clear(); }

private:
    struct Session {
        Window* window;
        bool stopped;
        int code;
    };
    std::vector<Session> mSessions;
    std::deque<Answer> mScript;
    Answer mResponder;
    std::vector<std::string> mShown;
    std::vector<std::string> mHelp;
};

}  // namespace AppKit
