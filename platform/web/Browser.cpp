#include "web/Browser.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "cf/Leftovers.h"
#include "web/BrowserProfile.h"
#include "web/Page.h"
#include "web/PageServer.h"
#include "web/Value.h"

namespace Web {
namespace {

// Room kept for the next message once a long one has been received.
constexpr size_t kKeptRoom = 1 << 20;

// The events pages wait for; the browser's many others are dropped as they come.
const char* const kKeptEvents[] = {"Page.loadEventFired", "Inspector.targetCrashed", "Page.frameStoppedLoading"};
const char* const kStopped = "Page.frameStoppedLoading";

Browser*& Instance()
{
    static Browser* browser = nullptr;
    return browser;
}

// The strings as a program's argument or environment vector.
std::vector<char*> Vector(std::vector<std::string>& strings)
{
    std::vector<char*> vector;
    for (std::string& s : strings)
        vector.push_back(s.data());
    vector.push_back(nullptr);
    return vector;
}

double Seconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string NoAnswerWithin(double seconds)
{
    return "the browser did not answer within " + ScriptNumberText(seconds) + " s";
}

std::vector<std::string> Arguments(const std::string& profile)
{
    return {Browser::Executable(),
            "--headless",
            "--no-sandbox",
            "--remote-debugging-pipe",
            "--user-data-dir=" + profile,
            "--disable-gpu",
            "--disable-dev-shm-usage",  // containers give /dev/shm little room
            "--no-first-run",
            "--no-default-browser-check",
            "--disable-background-networking",
            "--disable-component-update",
            "--disable-sync",
            "--disable-extensions",
            "--disable-default-apps",
            "--disable-breakpad",
            "--disable-crash-reporter",
            "--no-pings",
            "--mute-audio",
            "--hide-scrollbars",
            "--no-proxy-server",
            "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1",
            "--disable-background-timer-throttling",
            "--disable-renderer-backgrounding",
            "--disable-backgrounding-occluded-windows",
            "--disable-features=Translate,MediaRouter,OptimizationHints,DialMediaRouteProvider",
            "about:blank"};
}

}  // namespace

std::string Browser::Executable()
{
    const char* named = std::getenv("SPIRO_CHROMIUM");
    return named != nullptr && *named != '\0' ? named : "/usr/bin/chromium";
}

bool Browser::Available() { return ::access(Executable().c_str(), X_OK) == 0; }

Browser* Browser::Current() { return Instance(); }

Browser* Browser::Shared(std::string& error)
{
    static int generations = 0;
    static bool registered = false;
    Browser*& browser = Instance();
    if (browser != nullptr && browser->IsAlive())
        return browser;
    Shutdown();
    if (!registered) {
        std::atexit(Shutdown);
        registered = true;
    }
    std::unique_ptr<Browser> started(new Browser);
    started->mGeneration = ++generations;
    if (!started->Start(error))
        return nullptr;
    browser = started.release();
    return browser;
}

void Browser::Shutdown()
{
    delete Instance();
    Instance() = nullptr;
}

void Browser::ServeWaitingCalls()
{
    if (Browser* browser = Instance(); browser != nullptr && browser->IsAlive()) {
        if (browser->mRefill && Seconds() >= browser->mRefillAt) {
            browser->mRefill = false;
            browser->MakeSpareTargets();
        }
        browser->ReadMessages();  // the spares' making goes on
        browser->ReadErrors();
    }
    if (PageServer* server = PageServer::Current())
        server->ServeCalls();
}

Browser::~Browser() { Stop(); }

bool Browser::Start(std::string& error)
{
    if (!Available()) {
        error = "no browser at " + Executable();
        return false;
    }
    BrowserProfile::SweepOrphans();
    {
        // A signal that comes meanwhile finds the profile and the browser remembered.
        const CF::SignalsHeld held;
        if (!mProfile.Make(error) || !Launch(held.Previous(), error))
            return false;
    }
    nlohmann::json version;
    if (!Command("Browser.getVersion", nlohmann::json::object(), "", version, error, kStartTimeout)) {
        ReadErrors();
        const std::string said = mSaid.Text();
        const bool exited = mFd < 0 && mGone.empty();
        error = "the browser did not start: " + error + (exited && !said.empty() ? ", saying: " + said : "");
        return false;
    }
    mStarted = true;
    MakeSpareTargets();
    return true;
}

bool Browser::Launch(const sigset_t& mask, std::string& error)
{
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        error = "cannot make the browser's pipe";
        return false;
    }
    // What the browser writes on its standard error is kept in part for the message should it
    // exit; a browser that writes faster than it is read loses lines, instead of waiting.
    int said[2];
    if (pipe2(said, O_CLOEXEC | O_NONBLOCK) != 0) {
        ::close(ends[0]);
        ::close(ends[1]);
        error = "cannot make the browser's pipe";
        return false;
    }
    std::vector<std::string> args = Arguments(mProfile.Folder());
    std::vector<std::string> variables = mProfile.Environment();
    const std::vector<char*> argv = Vector(args);
    const std::vector<char*> envp = Vector(variables);
    const pid_t parent = getpid();
    mPid = fork();
    if (mPid == 0) {
        // Only async-signal-safe calls until exec: the host has threads.
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        const int end = fcntl(ends[1], F_DUPFD_CLOEXEC, 10);
        const int errors = fcntl(said[1], F_DUPFD_CLOEXEC, 10);
        dup2(end, 3);
        dup2(end, 4);
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(errors, 2);
        sigprocmask(SIG_SETMASK, &mask, nullptr);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    ::close(ends[1]);
    ::close(said[1]);
    if (mPid < 0) {
        ::close(ends[0]);
        ::close(said[0]);
        error = "cannot start the browser";
        return false;
    }
    setpgid(mPid, mPid);
    mProfile.SetGroup(mPid);
    mFd = ends[0];
    mErrors = said[0];
    fcntl(mFd, F_SETFL, fcntl(mFd, F_GETFL) | O_NONBLOCK);
    return true;
}

void Browser::MakeSpareTargets(size_t count)
{
    while (mSpares.size() < count) {
        mSpares.emplace_back();
        mSpares.back().create = Send("Target.createTarget", {{"url", "about:blank"}}, "");
    }
}

bool Browser::AdvanceSpare(int id, const nlohmann::json& reply)
{
    for (Spare& spare : mSpares) {
        if (id != spare.create && id != spare.attach)
            continue;
        if (reply.contains("error")) {
            spare.error = reply["error"].value("message", "the browser refused the command");
            return true;
        }
        const nlohmann::json result = reply.value("result", nlohmann::json::object());
        if (id == spare.create) {
            spare.target = result.value("targetId", "");
            spare.attach = Send("Target.attachToTarget", {{"targetId", spare.target}, {"flatten", true}}, "");
        } else {
            spare.session = result.value("sessionId", "");
            spare.enable = Send("Page.enable", nlohmann::json::object(), spare.session);
            if (!mPageMetrics.is_null()) {
                spare.metrics = mPageMetrics;
                Send("Emulation.setDeviceMetricsOverride", spare.metrics, spare.session);
            }
            LoadWarmDocument(spare);
        }
        return true;
    }
    return false;
}

void Browser::LoadWarmDocument(Spare& spare)
{
    const Page::Document& warm = Page::WarmDocument();
    std::string error;
    PageServer* server = warm.html.empty() ? nullptr : PageServer::Shared(error);
    if (server == nullptr)
        return;
    spare.page = server->AddPage(nullptr);
    server->SetDocument(spare.page, warm.html, PageServer::FolderOf(warm.baseURL));
    spare.html = warm.html;
    spare.baseURL = warm.baseURL;
    spare.navigate = Send("Page.navigate", {{"url", server->PageURL(spare.page, 1)}}, spare.session);
}

void Browser::ForgetWarmDocument(const Spare& spare)
{
    if (spare.page != 0)
        if (PageServer* server = PageServer::Current())
            server->RemovePage(spare.page);
    if (spare.navigate != 0)
        IgnoreReply(spare.navigate);
}

void Browser::IgnoreReply(int id)
{
    if (mReplies.erase(id) == 0 && mFd >= 0)
        mUnwanted.insert(id);
}

bool Browser::NewTarget(const std::string& html, const std::string& baseURL, const nlohmann::json& metrics,
                        Target& made, std::string& error)
{
    MakeSpareTargets(1);  // one for this page; those taken are made anew later
    mPageMetrics = metrics;
    const bool ready =
        Pump([this] { return mSpares.front().enable != 0 || !mSpares.front().error.empty(); }, kCommandTimeout, error);
    const Spare spare = mSpares.front();
    mSpares.pop_front();
    mRefill = true;
    mRefillAt = Seconds() + kRefillDelay;
    const bool usable = ready && spare.error.empty();
    const bool warm = usable && spare.navigate != 0 && spare.html == html && spare.baseURL == baseURL;
    if (!warm && usable && spare.navigate != 0)
        SettleWarmLoad(spare);
    else if (!warm)
        ForgetWarmDocument(spare);
    if (!ready)
        return false;
    if (!spare.error.empty()) {
        error = spare.error;
        return false;
    }
    made = Target{spare.target, spare.session, spare.metrics == metrics, warm ? spare.page : 0,
                  warm ? spare.navigate : 0};
    nlohmann::json enabled;
    if (!AwaitReply(spare.enable, kCommandTimeout, enabled, error))
        return false;
    ReadMessages();  // what has come of the target, its warm load's events among it
    return true;
}

void Browser::SettleWarmLoad(const Spare& spare)
{
    // The page's own load must not take the warm document's load event for its own: that
    // load ends (or fails) first, and its events go. Its end is the main frame's stop as well,
    // for a load event that came before the tab's page events were on never comes.
    nlohmann::json navigated;
    std::string error;
    bool stopped = false;
    if (AwaitReply(spare.navigate, kCommandTimeout, navigated, error) && !navigated.contains("errorText"))
        AwaitLoad(spare.session, spare.target, kCommandTimeout, stopped, error);
    DropEvents(spare.session);
    if (PageServer* server = PageServer::Current())
        server->RemovePage(spare.page);
}

int Browser::Send(const std::string& method, const nlohmann::json& params, const std::string& session)
{
    const int id = mNextId++;
    if (mFd < 0)
        return id;
    nlohmann::json message = {{"id", id}, {"method", method}, {"params", params}};
    if (!session.empty())
        message["sessionId"] = session;
    std::string text = message.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    text.push_back('\0');
    // A browser that takes nothing of the message for a command's time is not reading.
    size_t sent = 0;
    double deadline = Seconds() + kCommandTimeout;
    while (sent < text.size()) {
        const ssize_t n = ::send(mFd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        const int failure = n < 0 ? errno : 0;
        const double left = deadline - Seconds();
        if (n > 0) {
            sent += size_t(n);
            deadline = Seconds() + kCommandTimeout;
        } else if (failure == EINTR) {
            continue;
        } else if (failure == EAGAIN && left > 0) {
            pollfd out{mFd, POLLOUT, 0};
            ::poll(&out, 1, int(left * 1000) + 1);
        } else if (failure == EAGAIN) {
            GiveUp(NoAnswerWithin(kCommandTimeout));
            break;
        } else {
            Lost();
            break;
        }
    }
    return id;
}

bool Browser::Command(const std::string& method, const nlohmann::json& params, const std::string& session,
                      nlohmann::json& result, std::string& error, double timeout)
{
    return AwaitReply(Send(method, params, session), timeout, result, error);
}

bool Browser::AwaitReply(int id, double timeout, nlohmann::json& result, std::string& error)
{
    if (!Pump([&] { return mReplies.count(id) != 0; }, timeout, error))
        return false;
    const nlohmann::json reply = std::move(mReplies[id]);
    mReplies.erase(id);
    if (reply.contains("error")) {
        error = reply["error"].value("message", "the browser refused the command");
        return false;
    }
    result = reply.value("result", nlohmann::json::object());
    return true;
}

bool Browser::AwaitLoad(const std::string& session, const std::string& mainFrame, double timeout, bool& stopped,
                        std::string& error)
{
    bool crashed = false;
    stopped = false;
    const bool came = Pump(
        [&] {
            for (auto it = mEvents.begin(); it != mEvents.end();) {
                if (it->session != session) {
                    ++it;
                    continue;
                }
                crashed = it->method == "Inspector.targetCrashed";
                stopped = it->method == kStopped && it->frame == mainFrame;
                if (crashed || stopped || it->method == "Page.loadEventFired") {
                    mEvents.erase(it);
                    return true;
                }
                it = it->method == kStopped ? mEvents.erase(it) : it + 1;  // a frame within the page
            }
            return false;
        },
        timeout, error);
    if (crashed)
        error = "the page crashed";
    return came && !crashed;
}

bool Browser::HasEvent(const std::string& session, const std::string& method) const
{
    for (const Event& event : mEvents)
        if (event.session == session && event.method == method)
            return true;
    return false;
}

void Browser::DropEvents(const std::string& session)
{
    for (auto it = mEvents.begin(); it != mEvents.end();)
        it = it->session == session ? mEvents.erase(it) : it + 1;
}

template <typename Ready>
bool Browser::Pump(Ready ready, double timeout, std::string& error)
{
    // A long wait asks the browser after each command's time, so that one that has stopped is
    // found as soon as in a short wait. One that has never answered has nothing to be asked.
    const double deadline = Seconds() + timeout;
    const double waited = mStarted ? std::min(timeout, kCommandTimeout) : timeout;
    mWaitedOut = false;
    for (;;) {
        if (WaitUntil(ready, std::min(deadline, Seconds() + waited)))
            return true;
        const bool answers = mFd >= 0 && Answers();
        if (mFd < 0) {  // it exited, even while it was asked
            error = WhyGone();
            return false;
        }
        if (!answers) {
            error = NoAnswerWithin(waited);
            GiveUp(error);
            return false;
        }
        if (Seconds() >= deadline) {
            error = NoAnswerWithin(timeout);
            mWaitedOut = true;
            return false;
        }
    }
}

bool Browser::Answers()
{
    if (!mStarted)
        return false;  // the call unanswered was that question
    const int asked = Send("Browser.getVersion", nlohmann::json::object(), "");
    const bool answered = WaitUntil([&] { return mReplies.count(asked) != 0; }, Seconds() + kProbeTimeout);
    IgnoreReply(asked);
    return answered;
}

void Browser::GiveUp(const std::string& reason)
{
    mGone = reason;
    if (mPid > 0)
        Kill();
    Lost();
}

void Browser::Kill()
{
    CF::Leftovers::KillGroup(mPid);
    mProfile.SetGroup(0);
    mPid = -1;
}

template <typename Ready>
bool Browser::WaitUntil(Ready ready, double deadline)
{
    PageServer* server = PageServer::Current();
    for (;;) {
        if (ready())
            return true;
        if (mFd < 0)
            return false;
        const double left = deadline - Seconds();
        if (left <= 0)
            return false;
        pollfd fds[3] = {
            {mFd, POLLIN, 0}, {server != nullptr ? server->NotifyFd() : -1, POLLIN, 0}, {mErrors, POLLIN, 0}};
        if (::poll(fds, 3, int(left * 1000) + 1) < 0 && errno != EINTR) {
            Lost();
            continue;
        }
        if (fds[2].revents & (POLLIN | POLLHUP | POLLERR))
            ReadErrors();
        if (fds[1].revents & POLLIN)
            server->ServeCalls();
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR))
            ReadMessages();
    }
}

void Browser::ReadMessages()
{
    char buffer[1 << 16];
    while (mFd >= 0) {
        const ssize_t n = ::read(mFd, buffer, sizeof buffer);
        if (n > 0) {
            Take(buffer, size_t(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || errno != EAGAIN)
            Lost();
        break;
    }
}

void Browser::ReadErrors()
{
    char buffer[4096];
    while (mErrors >= 0) {
        const ssize_t n = ::read(mErrors, buffer, sizeof buffer);
        if (n > 0) {
            mSaid.Take(buffer, size_t(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || errno != EAGAIN) {
            ::close(mErrors);
            mErrors = -1;
        }
        break;
    }
}

void Browser::Take(const char* data, size_t size)
{
    const char* const end = data + size;
    for (const char* stop; (stop = static_cast<const char*>(std::memchr(data, '\0', size_t(end - data)))) != nullptr;
         data = stop + 1) {
        mInput.append(data, stop);
        Receive(mInput);
        mInput.clear();
        if (mInput.capacity() > kKeptRoom)
            std::string().swap(mInput);
    }
    if (mInput.size() + size_t(end - data) > kMaxMessageBytes) {
        Lost();
        return;
    }
    mInput.append(data, end);
}

void Browser::Receive(const std::string& text)
{
    const nlohmann::json message = nlohmann::json::parse(text, nullptr, false);
    if (!message.is_object())
        return;
    if (message.contains("id") && message["id"].is_number_integer()) {
        const int id = message["id"].get<int>();
        if (mUnwanted.erase(id) == 0 && !AdvanceSpare(id, message))
            mReplies[id] = message;
        return;
    }
    const std::string method = message.value("method", "");
    for (const char* kept : kKeptEvents)
        if (method == kept)
            mEvents.push_back(Event{message.value("sessionId", ""), method,
                                    message.value("params", nlohmann::json::object()).value("frameId", "")});
}

void Browser::Lost()
{
    if (mFd >= 0)
        ::close(mFd);
    mFd = -1;
    std::string().swap(mInput);  // a long message's room goes back
}

void Browser::Stop()
{
    for (const Spare& spare : mSpares)
        ForgetWarmDocument(spare);
    mSpares.clear();
    // A polite close first, so the profile is released; then nothing of it may remain. A
    // browser that does not take the close is given up, which kills it.
    if (mPid > 0 && mFd >= 0)
        Send("Browser.close", nlohmann::json::object(), "");
    if (mPid > 0) {
        int status = 0;
        for (int i = 0; i < 100 && waitpid(mPid, &status, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Kill();
    }
    Lost();
    if (mErrors >= 0)
        ::close(mErrors);
    mErrors = -1;
    mProfile.Remove();
}

}  // namespace Web
