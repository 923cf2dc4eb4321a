// Where the page server's connections wait for their next request. One thread holds every
// connection that has not yet sent a whole request head, at the cost of a socket each and no
// thread; only a connection whose head has come in full is given to a worker, which answers that
// one request and hands the connection back. So a client that sends slowly, sends nothing or
// sends headers without end ties up no worker and no memory beyond the limits below: a head
// larger than maxHeadBytes is refused (431), one not complete within headTimeout closed, and
// beyond maxWaiting connections the oldest waiting one is closed, preferring one that has never
// had a request answered.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace httplib {
class ThreadPool;
}

namespace Web {

class ConnectionGate {
public:
    struct Limits {
        size_t maxHeadBytes;  // request line and headers
        double headTimeout;   // seconds from arrival, or from the last answer, to a whole head
        size_t maxWaiting;    // connections waiting for a head at once
        size_t workers;
    };
    // Answers the one request whose head (of headBytes) is in the socket; false closes it.
    using Serve = std::function<bool(int socket, size_t headBytes)>;

    ConnectionGate(const Limits& limits, Serve serve);
    ConnectionGate(const ConnectionGate&) = delete;
    ConnectionGate& operator=(const ConnectionGate&) = delete;
    // Closes the waiting connections and waits for the workers' requests to end.
    ~ConnectionGate();

    // Takes the connected socket.
    void Add(int socket) { Enter(socket, false); }
    // How many connections wait for a head now.
    size_t Waiting() const;

private:
    struct Waiter {
        double deadline;
        unsigned long order;  // of arrival
        bool served;          // has had a request answered
    };
    struct Arrival {
        int socket;
        bool served;
    };

    void Enter(int socket, bool served);
    void Run();
    void TakeArrivals();
    void Admit(const Arrival& arrival);
    void EvictOne();
    // Looks at what the socket holds; hands a whole head to a worker.
    void Check(int socket, bool hungUp);
    void Dispatch(int socket, size_t headBytes);
    void ExpireOverdue();
    int WaitMilliseconds() const;
    // Answers with the status line (best effort) and closes.
    void Refuse(int socket, const char* statusLine);
    void Close(int socket);
    // Publishes how many connections wait, before any of them is closed or served.
    void Count();

    const Limits mLimits;
    const Serve mServe;
    int mPoll = -1;
    int mWake = -1;
    std::unique_ptr<httplib::ThreadPool> mWorkers;
    std::thread mThread;
    std::unique_ptr<char[]> mPeek;
    std::map<int, Waiter> mWaiting;  // gate thread only
    unsigned long mArrivals = 0;
    mutable std::mutex mLock;  // guards the members below
    std::deque<Arrival> mArrived;
    size_t mWaitingCount = 0;
    bool mStopping = false;
};

}  // namespace Web
