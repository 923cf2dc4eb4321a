#include "PageAttackers.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr auto kLongest = 15s;  // no attacker runs longer, whatever its user does

int ConnectWithoutWaiting(int port)
{
    const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (client >= 0 && ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 &&
        errno != EINPROGRESS) {
        ::close(client);
        return -1;
    }
    return client;
}

// Whether the server has answered or closed the connection, or refused it: done with it.
bool Closed(int client)
{
    pollfd state{client, POLLIN, 0};
    return ::poll(&state, 1, 0) > 0;
}

}  // namespace

PageAttackers::PageAttackers(int port) : mPort(port), mStart(std::chrono::steady_clock::now())
{
    // Room for the attackers' ends of their connections as well as the server's.
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = std::max<rlim_t>(files.rlim_cur, std::min<rlim_t>(files.rlim_max, 8192));
    setrlimit(RLIMIT_NOFILE, &files);
    mPress = std::thread([this] { Press(); });
    mFlood = std::thread([this] { Flood(); });
    for (int i = 0; i < 100 && !mConnected; ++i)
        std::this_thread::sleep_for(20ms);
    std::this_thread::sleep_for(500ms);
}

void PageAttackers::Stop()
{
    mStop = true;
    if (mPress.joinable())
        mPress.join();
    if (mFlood.joinable())
        mFlood.join();
}

bool PageAttackers::Over() const { return mStop || std::chrono::steady_clock::now() - mStart > kLongest; }

// The slow clients send one byte of a head that never ends every 50 ms; the idle ones
// nothing. Whatever the server closes is opened again, idle ones every half second.
void PageAttackers::Press()
{
    std::vector<int> slow(kSlowClients, -1);
    std::vector<size_t> sent(kSlowClients, 0);
    std::vector<int> idle(kIdleClients, -1);
    const std::string head = "GET /slow HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    for (int& client : idle)
        client = ConnectWithoutWaiting(mPort);
    mConnected = true;
    for (int turn = 0; !Over();) {
        for (size_t i = 0; i < slow.size(); ++i) {
            if (slow[i] < 0 || Closed(slow[i])) {
                Reopen(slow[i]);
                sent[i] = 0;
                continue;
            }
            const char byte = sent[i] < head.size() ? head[sent[i]] : "X: y\r\n"[sent[i] % 6];
            if (::send(slow[i], &byte, 1, MSG_DONTWAIT | MSG_NOSIGNAL) == 1)
                ++sent[i];
        }
        if (++turn % 10 == 0)
            for (int& client : idle)
                if (client < 0 || Closed(client))
                    Reopen(client);
        std::this_thread::sleep_for(50ms);
    }
    for (int client : slow)
        ::close(client);
    for (int client : idle)
        ::close(client);
}

void PageAttackers::Reopen(int& client)
{
    if (client >= 0)
        ::close(client);
    client = ConnectWithoutWaiting(mPort);
    ++mReconnects;
}

// Headers of a kilobyte each, as fast as the server takes them, on a connection after
// another, up to 500 MB in all.
void PageAttackers::Flood()
{
    const std::string first = "GET /flood HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    const std::string header = "X-Flood: " + std::string(1000, 'a') + "\r\n";
    std::string block;
    while (block.size() < 64 * 1024)
        block += header;
    while (!Over() && mFlooded < kMaxFloodBytes) {
        const int client = ConnectWithoutWaiting(mPort);
        if (client < 0) {
            std::this_thread::sleep_for(10ms);
            continue;
        }
        bool open = true;
        for (size_t at = 0; open && !Over() && mFlooded < kMaxFloodBytes;) {
            pollfd out{client, POLLOUT, 0};
            if (::poll(&out, 1, 100) <= 0)
                continue;
            const std::string& text = at == 0 ? first : block;
            const ssize_t n = ::send(client, text.data(), text.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
            open = n > 0 || (n < 0 && errno == EAGAIN);
            if (n > 0) {
                at += size_t(n);
                mFlooded += size_t(n);
            }
        }
        ::close(client);
    }
}
