// Clients without the secret press on the page server while a page loads and calls the host:
// 100 that send their heads a byte at a time, 1,000 that send nothing, and one that sends
// headers without end (each kept up, reconnecting, whenever the server closes them). The
// page's load and its calls complete all the same, and the process's memory grows by less
// than 50 MB.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <regex>
#include <thread>
#include <vector>

#include "ProcessMemory.h"
#include "web/Browser.h"
#include "web/LivePage.h"

namespace {

using namespace std::chrono_literals;
using Web::Value;

constexpr int kSlowClients = 100;
constexpr int kIdleClients = 1000;
constexpr long kMaxGrowthKb = 50 * 1024;
constexpr size_t kMaxFloodBytes = size_t(500) << 20;
constexpr auto kLongest = 15s;  // no attacker runs longer, whatever the test does

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

class Attackers {
public:
    explicit Attackers(int port) : mPort(port)
    {
        mPress = std::thread([this] { Press(); });
        mFlood = std::thread([this] { Flood(); });
    }

    ~Attackers() { Stop(); }

    void Stop()
    {
        mStop = true;
        if (mPress.joinable())
            mPress.join();
        if (mFlood.joinable())
            mFlood.join();
    }

    bool Connected() const { return mConnected; }
    size_t Flooded() const { return mFlooded; }
    int Reconnects() const { return mReconnects; }

private:
    bool Over(std::chrono::steady_clock::time_point start) const
    {
        return mStop || std::chrono::steady_clock::now() - start > kLongest;
    }

    // The slow clients send one byte of a head that never ends every 50 ms; the idle ones
    // nothing. Whatever the server closes is opened again, idle ones every half second.
    void Press()
    {
        const auto start = std::chrono::steady_clock::now();
        std::vector<int> slow(kSlowClients, -1);
        std::vector<size_t> sent(kSlowClients, 0);
        std::vector<int> idle(kIdleClients, -1);
        const std::string head = "GET /slow HTTP/1.1\r\nHost: 127.0.0.1\r\n";
        for (int& client : idle)
            client = ConnectWithoutWaiting(mPort);
        mConnected = true;
        for (int turn = 0; !Over(start);) {
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

    void Reopen(int& client)
    {
        if (client >= 0)
            ::close(client);
        client = ConnectWithoutWaiting(mPort);
        ++mReconnects;
    }

    // Headers of a kilobyte each, as fast as the server takes them, on a connection after
    // another, up to 500 MB in all.
    void Flood()
    {
        const auto start = std::chrono::steady_clock::now();
        const std::string first = "GET /flood HTTP/1.1\r\nHost: 127.0.0.1\r\n";
        const std::string header = "X-Flood: " + std::string(1000, 'a') + "\r\n";
        std::string block;
        while (block.size() < 64 * 1024)
            block += header;
        while (!Over(start) && mFlooded < kMaxFloodBytes) {
            const int client = ConnectWithoutWaiting(mPort);
            if (client < 0) {
                std::this_thread::sleep_for(10ms);
                continue;
            }
            bool open = true;
            for (size_t at = 0; open && !Over(start) && mFlooded < kMaxFloodBytes;) {
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

    const int mPort;
    std::atomic<bool> mStop{false};
    std::atomic<bool> mConnected{false};
    std::atomic<size_t> mFlooded{0};
    std::atomic<int> mReconnects{0};
    std::thread mPress;
    std::thread mFlood;
};

TEST(PageServerUnderAttack, APageLoadsAndCallsTheHostWhileClientsWithoutTheSecretPress)
{
    if (!Web::Browser::Available())
        GTEST_SKIP() << "no Chromium at " << Web::Browser::Executable();
    // Room for the attackers' ends of their connections as well as the server's.
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = std::max<rlim_t>(files.rlim_cur, std::min<rlim_t>(files.rlim_max, 8192));
    setrlimit(RLIMIT_NOFILE, &files);

    Web::LivePage page;
    Web::BridgeObject bridge;
    bridge.name = "host";
    bridge.methods = {{"Numbers", Web::BridgeObject::Call::Value}};
    bridge.handler = [](const std::string&, const std::vector<Value>& arguments) {
        return Value::Numbers(std::vector<double>(size_t(arguments.at(0).AsNumber()), 1.5));
    };
    page.InstallBridge(std::move(bridge));
    ASSERT_TRUE(page.LoadHTML("<p>before</p>", "")) << page.LastError();
    std::smatch port;
    const std::string url = page.URL();
    ASSERT_TRUE(std::regex_search(url, port, std::regex(R"(:(\d+)/)")));

    const long before = ProcessMemory::ResidentKb();
    ProcessMemory::ResetPeak();
    Attackers attackers(std::stoi(port[1].str()));
    for (int i = 0; i < 100 && !attackers.Connected(); ++i)
        std::this_thread::sleep_for(20ms);
    std::this_thread::sleep_for(500ms);  // the idle ones are in, the flood under way

    ASSERT_TRUE(page.LoadHTML("<script>window.got = host.Numbers(1000).length;</script>", "")) << page.LastError();
    const Web::Evaluation got = page.Evaluate("window.got");
    EXPECT_EQ(got.value, Value::Number(1000)) << got.error;
    // Calls go on past the server's head timeout, so that waiting clients are closed and
    // come back meanwhile.
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 1000 && std::chrono::steady_clock::now() - start < 6s; ++i) {
        const Web::Evaluation call = page.Evaluate("host.Numbers(10).length");
        ASSERT_TRUE(call.ok) << call.error;
        ASSERT_EQ(call.value, Value::Number(10));
        std::this_thread::sleep_for(20ms);
    }
    attackers.Stop();
    const long grown = ProcessMemory::PeakKb() - before;
    EXPECT_GT(attackers.Flooded(), size_t(1) << 20);
    EXPECT_GT(attackers.Reconnects(), kSlowClients);  // the server closed them, and they came back
    EXPECT_LT(grown, kMaxGrowthKb);
}

}  // namespace
