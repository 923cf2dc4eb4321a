// The process's one headless Chromium, driven over the DevTools protocol on a pipe (fds 3 and
// 4 of the browser, NUL-separated JSON). It starts on first use, in a profile folder of its
// own under the temporary folder (TMPDIR) that goes when it stops, with its home, settings,
// caches and scratch files inside that folder (BrowserProfile), no crash reports, no network
// but 127.0.0.1 and no background services, and stops when the process exits. A signal that
// ends the process takes the browser and its folder along (CF::Leftovers). Should the host die
// first, the kernel kills the browser (it asks for that when it starts, so the first page must
// be made on a thread that lives as long as the process: the main thread), and the next browser
// of any host removes its folder. A browser that died is replaced on the next use; one that
// exits before it answers is reported with the last lines it wrote, its fatal error first.
//
// Everything here runs on the main thread. While it waits for the browser it serves the calls
// that pages make to the host (see Page.h), so that a page blocked in a call never blocks the
// host's wait for that page.
//
// A call left unanswered may be a page's that is busy; the browser is then asked a question of
// its own. A browser that leaves that unanswered too (it hangs, or was stopped) is given up for
// good: it is killed, and every later call on it fails at once with the first call's reason,
// instead of each waiting out its own time limit. One that answers it is kept, and the wait
// says so (WaitedOut): what did not answer was the page the call went to, which the page's
// owner then gives up (LivePage).
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <deque>
#include <map>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "web/BrowserProfile.h"
#include "web/LastLines.h"

namespace Web {

class Browser {
public:
    static constexpr double kStartTimeout = 20;    // seconds for the browser to answer at all
    static constexpr double kCommandTimeout = 10;  // seconds for any other command's answer
    static constexpr double kProbeTimeout = 5;     // seconds for that question of its own
    static constexpr const char* kExited = "the browser has exited";
    // The longest message taken from the browser: a capture or a print of a large page comes
    // to a few megabytes in base64. A browser that sends more without ending its message is
    // taken for broken and let go.
    static constexpr size_t kMaxMessageBytes = 64 << 20;

    // The browser named by SPIRO_CHROMIUM, else /usr/bin/chromium.
    static std::string Executable();
    static bool Available();

    // The running browser, started when there is none or the last one died; null, with the
    // reason, when it cannot start.
    static Browser* Shared(std::string& error);
    // The browser if one was started and has not been stopped; it may have died.
    static Browser* Current();
    // Stops the browser and waits for it; the next Shared() starts another.
    static void Shutdown();
    // Serves the pages' waiting calls without waiting for anything, makes the targets taken a
    // while ago anew and reads what the browser sent: the run loop calls this on each turn.
    static void ServeWaitingCalls();

    Browser(const Browser&) = delete;
    Browser& operator=(const Browser&) = delete;
    ~Browser();

    pid_t ProcessId() const { return mPid; }
    bool IsAlive() const { return mFd >= 0; }
    // Why it is not alive: kExited, or the call it was given up over.
    std::string WhyGone() const { return mGone.empty() ? kExited : mGone; }
    // Counts the browsers this process started; a page made on an older one has lost its target.
    int Generation() const { return mGeneration; }

    // Sends the command (to the session, or to the browser when it is empty) and waits up to
    // timeout seconds for its result; false with the reason otherwise.
    bool Command(const std::string& method, const nlohmann::json& params, const std::string& session,
                 nlohmann::json& result, std::string& error, double timeout = kCommandTimeout);
    int Send(const std::string& method, const nlohmann::json& params, const std::string& session);
    bool AwaitReply(int id, double timeout, nlohmann::json& result, std::string& error);
    // The command's reply is let go, when or if it comes.
    void IgnoreReply(int id);
    // Waits for the session's load event, or for its main frame (mainFrame, its id) to stop
    // loading (stopped set), or for its page to crash.
    bool AwaitLoad(const std::string& session, const std::string& mainFrame, double timeout, bool& stopped,
                   std::string& error);
    // Whether the session's event of that method has come (and waits to be taken).
    bool HasEvent(const std::string& session, const std::string& method) const;
    // Whether the last wait ran out its time while the browser still answered its question:
    // what it waited for (a page's answer, say) did not come.
    bool WaitedOut() const { return mWaitedOut; }
    // Forgets the session's events received so far.
    void DropEvents(const std::string& session);
    // A target for a page, the session attached to it, and its page events enabled. The
    // browser keeps two made ahead (from its start), so that a page does not wait for its tab
    // to be made; those taken are made anew at a turn of the run loop a little later
    // (ServeWaitingCalls), so that making them does not slow the pages that took them. They
    // are made at the device metrics of the page that took the last one, and while a document
    // is kept warm (Page::KeepWarm) they load it at once under a page server id of their own.
    struct Target {
        std::string target;
        std::string session;
        bool sized = false;  // whether it has the page's device metrics already
        // When the target holds (or is loading) the very document the page is to load: the
        // page server's id it is served under and the browser's id of its navigate command;
        // 0 otherwise, and the page loads its document itself.
        int page = 0;
        int navigation = 0;
    };
    bool NewTarget(const std::string& html, const std::string& baseURL, const nlohmann::json& metrics, Target& made,
                   std::string& error);

private:
    Browser() = default;
    bool Start(std::string& error);
    // Starts the browser in it, with mask as its signal mask; it is remembered with the profile.
    bool Launch(const sigset_t& mask, std::string& error);
    // Starts making targets ahead until there are count.
    void MakeSpareTargets(size_t count = kSpareTargets);
    // Takes the reply when it is a step of the spare target's making, and sends the next step.
    bool AdvanceSpare(int id, const nlohmann::json& reply);
    // Waits until ready() holds, reading the browser and serving calls; false after timeout
    // seconds or when the browser is gone. Whenever it has waited a command's time, the browser
    // is asked whether it still answers, and given up if not.
    template <typename Ready>
    bool Pump(Ready ready, double timeout, std::string& error);
    // Pump's waiting alone: false at the deadline (in seconds, as Seconds()) or when it is gone.
    template <typename Ready>
    bool WaitUntil(Ready ready, double deadline);
    // Whether the browser answers a question of its own within kProbeTimeout.
    bool Answers();
    // Kills the browser that stopped answering: for the reason, it is gone.
    void GiveUp(const std::string& reason);
    // Kills the browser's process group and waits for the browser.
    void Kill();
    void ReadMessages();
    // Takes what the browser wrote on its standard error.
    void ReadErrors();
    // Takes bytes read from the pipe: receives each message they end, keeps the rest.
    void Take(const char* data, size_t size);
    void Receive(const std::string& text);
    void Lost();
    void Stop();

    pid_t mPid = -1;
    int mFd = -1;
    bool mStarted = false;  // it has answered once
    std::string mGone;      // why it was given up
    bool mWaitedOut = false;
    int mGeneration = 0;
    int mNextId = 1;
    // The target made ahead: each of its commands is sent when the one before has answered.
    struct Spare {
        int create = 0;  // command ids; 0 while not sent
        int attach = 0;
        int enable = 0;
        int navigate = 0;  // the warm document's load, sent with enable
        int page = 0;      // the page server's id of the warm document
        nlohmann::json metrics;  // the device metrics it was given; null for the browser's own
        std::string html;  // the warm document and its base URL; empty when it holds none
        std::string baseURL;
        std::string target;
        std::string session;
        std::string error;  // why it could not be made
    };
    // Sends the spare's warm load, when a document is kept warm and the page server runs.
    void LoadWarmDocument(Spare& spare);
    // The spare's warm document is let go: its page server entry, and the navigation's reply.
    void ForgetWarmDocument(const Spare& spare);
    // Lets the spare's warm document go once its load has ended, so that none of its events
    // remains to be taken for the next load's.
    void SettleWarmLoad(const Spare& spare);
    // Two, so that both pages of a view find theirs made.
    static constexpr size_t kSpareTargets = 2;
    std::deque<Spare> mSpares;
    // Spares taken are made anew once the run loop turns this long after the last was taken:
    // the pages that took them go on setting up and drawing for a while after their load.
    static constexpr double kRefillDelay = 0.1;  // seconds
    bool mRefill = false;
    double mRefillAt = 0;
    BrowserProfile mProfile;
    int mErrors = -1;  // the browser's standard error
    LastLines mSaid;
    std::string mInput;
    std::map<int, nlohmann::json> mReplies;
    std::set<int> mUnwanted;  // commands whose replies nobody waits for
    nlohmann::json mPageMetrics;  // those of the page that took the last target
    struct Event {
        std::string session;
        std::string method;
        std::string frame;  // that stopped loading
    };
    std::deque<Event> mEvents;
};

}  // namespace Web
