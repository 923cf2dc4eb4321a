// The HTTP server on 127.0.0.1 (an ephemeral port) that gives the live pages their documents,
// the bundle files they name and their calls to the host. Every URL starts with a random
// secret of the process; a call also names its page and carries that page's own key. A
// request without them, from another origin or host, or naming another page is refused with
// 403 before anything of its body is read, and runs nothing; a body larger than
// kMaxRequestBytes (as decoded) gets 413. A page's samples methods post to the data route beside
// the call route, under the same checks.
//
// Connections wait for their requests in a ConnectionGate, so one without the secret costs a
// socket and at most kMaxHeadBytes for kHeadTimeout, and never holds a worker.
//
// The server's threads never run host code: a call that needs a value waits (at most
// kCallTimeout) for the main thread to serve it, whenever that thread waits for a page or
// calls ServeCalls(); a queued call is put on its page's queue and acknowledged at once.
#pragma once

#include <condition_variable>
#include <deque>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "web/Value.h"

namespace httplib {
struct Request;
}

namespace Web {

class GatedServer;
class LivePage;

class PageServer {
public:
    static constexpr size_t kMaxRequestBytes = 8 << 20;
    // What any client may cost before it has shown the secret. A browser sends a head of a
    // kilobyte or two in one write, and keeps a handful of connections.
    static constexpr size_t kMaxHeadBytes = 16 << 10;  // request line and headers
    static constexpr double kHeadTimeout = 5;  // seconds for a whole head, from connecting or the last answer
    static constexpr size_t kMaxWaitingConnections = 256;  // beyond: the oldest waiting one is closed
    static constexpr int kBacklog = 256;  // connections the kernel holds before they are accepted
    static constexpr size_t kWorkers = 4;  // threads answering requests whose head is whole
    static constexpr double kCallTimeout = 30;  // seconds a page waits for a value call

    // The process's server, started on first use; null, with the reason, when it cannot listen.
    static PageServer* Shared(std::string& error);
    static PageServer* Current();
    // Closes the server; pages still waiting in calls are answered with an error.
    static void Stop();

    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;
    ~PageServer();

    int Port() const { return mPort; }
    std::string Origin() const { return "http://127.0.0.1:" + std::to_string(mPort); }

    // Registers the page (its id) and gives it a key of its own. A document loaded ahead for
    // a page not yet made has no page: its calls are refused until a page adopts it.
    int AddPage(LivePage* page);
    void AdoptPage(int id, LivePage* page);
    void RemovePage(int id);
    // The folder of a file:// base URL; empty for any other.
    static std::string FolderOf(const std::string& baseURL);
    // What the page's URL serves from now on: the document, and files of the folder (empty:
    // none) under their relative names.
    void SetDocument(int id, std::string html, std::string folder);
    // The document's URL; each load gets its own, so nothing comes from a cache.
    std::string PageURL(int id, int load) const;
    std::string CallURL(int id) const;
    // Where the page's samples methods post: the call route's checks, the answer in binary.
    std::string DataURL(int id) const;

    // Readable while calls wait for the main thread.
    int NotifyFd() const { return mNotify; }
    // Serves the waiting value calls on the main thread.
    void ServeCalls();

private:
    struct Entry {
        LivePage* page;
        std::string key;
        std::string html;
        std::string folder;
    };
    struct WaitingCall {
        int page;
        std::string object;
        std::string method;
        std::vector<Value> arguments;
        bool samples;  // a samples method on the data route
        std::promise<std::string> reply;
    };

    PageServer() = default;
    bool Listen(std::string& error);
    void Route();
    // The one place a request is let in, before anything of its body is read: it is for our
    // host from no other origin, carries the secret and names a page of ours, with that page's
    // key where its route takes one, and any body length it declares is a count (400 else).
    // 0 when it may go on, else the status that refuses it.
    int Admit(const httplib::Request& request) const;
    // Tells page id why its call was refused with status (its script only logs the failure);
    // gives the reason, which is also the refused call's answer.
    std::string Refuse(int id, int status);
    // The reply to a call's body (JSON; SamplesWire for samples), or an HTTP status with its reason.
    int Call(int id, const std::string& body, bool samples, std::string& reply);
    std::string RouteURL(const char* route, int id) const;

    std::unique_ptr<GatedServer> mServer;
    std::thread mThread;
    int mPort = 0;
    int mNotify = -1;
    std::string mSecret;
    mutable std::mutex mLock;  // guards everything below
    std::map<int, Entry> mPages;
    int mNextPage = 1;
    std::deque<std::shared_ptr<WaitingCall>> mWaiting;
    bool mStopping = false;
};

}  // namespace Web
