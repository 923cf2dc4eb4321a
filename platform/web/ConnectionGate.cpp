#include "web/ConnectionGate.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

#include <httplib.h>

namespace Web {
namespace {

constexpr char kHeadEnd[] = "\r\n\r\n";
constexpr int kEventsAtOnce = 64;

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

ConnectionGate::ConnectionGate(const Limits& limits, Serve serve)
    : mLimits(limits), mServe(std::move(serve)), mPeek(new char[limits.maxHeadBytes])
{
    mPoll = epoll_create1(EPOLL_CLOEXEC);
    mWake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    epoll_event wake{};
    wake.events = EPOLLIN;
    wake.data.fd = mWake;
    epoll_ctl(mPoll, EPOLL_CTL_ADD, mWake, &wake);
    mWorkers = std::make_unique<httplib::ThreadPool>(limits.workers);
    mThread = std::thread([this] { Run(); });
}

ConnectionGate::~ConnectionGate()
{
    {
        std::lock_guard<std::mutex> lock(mLock);
        mStopping = true;
    }
    const uint64_t one = 1;
    if (::write(mWake, &one, sizeof one) < 0) {
        // Only a full counter fails, and then the thread is woken already.
    }
    mThread.join();
    // Workers that finish now find the gate stopping and close their connections.
    mWorkers->shutdown();
    for (const Arrival& arrival : mArrived)
        ::close(arrival.socket);
    ::close(mWake);
    ::close(mPoll);
}

size_t ConnectionGate::Waiting() const
{
    std::lock_guard<std::mutex> lock(mLock);
    return mWaitingCount;
}

void ConnectionGate::Enter(int socket, bool served)
{
    {
        std::lock_guard<std::mutex> lock(mLock);
        if (!mStopping) {
            mArrived.push_back(Arrival{socket, served});
            socket = -1;
        }
    }
    if (socket >= 0) {
        ::close(socket);
        return;
    }
    const uint64_t one = 1;
    if (::write(mWake, &one, sizeof one) < 0) {
        // As above.
    }
}

void ConnectionGate::Run()
{
    epoll_event events[kEventsAtOnce];
    for (;;) {
        const int count = epoll_wait(mPoll, events, kEventsAtOnce, WaitMilliseconds());
        for (int i = 0; i < count; ++i) {
            const int socket = events[i].data.fd;
            if (socket != mWake)
                Check(socket, (events[i].events & (EPOLLRDHUP | EPOLLHUP | EPOLLERR)) != 0);
        }
        {
            std::lock_guard<std::mutex> lock(mLock);
            if (mStopping)
                break;
        }
        TakeArrivals();
        ExpireOverdue();
    }
    for (const auto& [socket, waiter] : mWaiting)
        ::close(socket);
    mWaiting.clear();
}

void ConnectionGate::TakeArrivals()
{
    uint64_t count = 0;
    if (::read(mWake, &count, sizeof count) < 0) {
        // Nothing signalled since the last look.
    }
    std::deque<Arrival> arrived;
    {
        std::lock_guard<std::mutex> lock(mLock);
        arrived.swap(mArrived);
    }
    for (const Arrival& arrival : arrived)
        Admit(arrival);
}

void ConnectionGate::Admit(const Arrival& arrival)
{
    if (mWaiting.size() >= mLimits.maxWaiting)
        EvictOne();
    ::fcntl(arrival.socket, F_SETFL, ::fcntl(arrival.socket, F_GETFL) | O_NONBLOCK);
    mWaiting[arrival.socket] = Waiter{Now() + mLimits.headTimeout, mArrivals++, arrival.served};
    Count();
    epoll_event event{};
    // Edge-triggered: a head that is not whole yet is looked at again only when more comes.
    event.events = EPOLLIN | EPOLLRDHUP | EPOLLET;
    event.data.fd = arrival.socket;
    if (epoll_ctl(mPoll, EPOLL_CTL_ADD, arrival.socket, &event) != 0) {
        Close(arrival.socket);
        return;
    }
    // A kept connection may hold its next request already.
    Check(arrival.socket, false);
}

void ConnectionGate::EvictOne()
{
    auto oldest = mWaiting.end();
    for (auto it = mWaiting.begin(); it != mWaiting.end(); ++it) {
        const bool better = oldest == mWaiting.end() || (oldest->second.served && !it->second.served) ||
                            (oldest->second.served == it->second.served && it->second.order < oldest->second.order);
        if (better)
            oldest = it;
    }
    if (oldest != mWaiting.end())
        Close(oldest->first);
}

void ConnectionGate::Check(int socket, bool hungUp)
{
    const auto waiter = mWaiting.find(socket);
    if (waiter == mWaiting.end())
        return;
    const ssize_t seen = ::recv(socket, mPeek.get(), mLimits.maxHeadBytes, MSG_PEEK | MSG_DONTWAIT);
    if (seen < 0 && (errno == EAGAIN || errno == EINTR)) {
        if (hungUp)
            Close(socket);
        return;
    }
    if (seen <= 0) {
        Close(socket);
        return;
    }
    const char* end = std::search(mPeek.get(), mPeek.get() + seen, kHeadEnd, kHeadEnd + 4);
    if (end != mPeek.get() + seen) {
        Dispatch(socket, size_t(end - mPeek.get()) + 4);
        return;
    }
    if (size_t(seen) >= mLimits.maxHeadBytes)
        Refuse(socket, "HTTP/1.1 431 Request Header Fields Too Large");
    else if (hungUp)
        Close(socket);  // the head can never be whole
}

void ConnectionGate::Dispatch(int socket, size_t headBytes)
{
    epoll_ctl(mPoll, EPOLL_CTL_DEL, socket, nullptr);
    mWaiting.erase(socket);
    Count();
    mWorkers->enqueue([this, socket, headBytes] {
        if (mServe(socket, headBytes))
            Enter(socket, true);
        else
            ::close(socket);
    });
}

void ConnectionGate::ExpireOverdue()
{
    const double now = Now();
    std::vector<int> overdue;
    for (const auto& [socket, waiter] : mWaiting)
        if (waiter.deadline <= now)
            overdue.push_back(socket);
    for (int socket : overdue) {
        char byte;
        if (::recv(socket, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 1)
            Refuse(socket, "HTTP/1.1 408 Request Timeout");
        else
            Close(socket);  // an idle connection just ends
    }
}

int ConnectionGate::WaitMilliseconds() const
{
    if (mWaiting.empty())
        return -1;
    double first = mWaiting.begin()->second.deadline;
    for (const auto& entry : mWaiting)
        first = std::min(first, entry.second.deadline);
    return int(std::ceil(std::max(0.0, first - Now()) * 1000));
}

void ConnectionGate::Refuse(int socket, const char* statusLine)
{
    const std::string answer = std::string(statusLine) + "\r\nConnection: close\r\nContent-Length: 0\r\n\r\n";
    ::send(socket, answer.data(), answer.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    Close(socket);
}

void ConnectionGate::Close(int socket)
{
    epoll_ctl(mPoll, EPOLL_CTL_DEL, socket, nullptr);
    mWaiting.erase(socket);
    Count();
    ::close(socket);
}

void ConnectionGate::Count()
{
    std::lock_guard<std::mutex> lock(mLock);
    mWaitingCount = mWaiting.size();
}

}  // namespace Web
