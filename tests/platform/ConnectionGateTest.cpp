// Connections wait in the gate until a whole request head has come: heads arriving in pieces
// or several in one write are each served once, whole; a head over the limit is refused with
// 431, one not whole in time with 408, an idle or hung-up connection just closed, and beyond
// the limit the oldest connection that has never been served goes first.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "web/ConnectionGate.h"

namespace {

using namespace std::chrono_literals;

class Gate : public ::testing::Test {
protected:
    // Limits small enough to reach: 64 head bytes, 0.3 s, three waiting connections.
    void Open(size_t maxWaiting = 3)
    {
        gate = std::make_unique<Web::ConnectionGate>(Web::ConnectionGate::Limits{64, 0.3, maxWaiting, 2},
                                                     [this](int socket, size_t headBytes) {
                                                         std::string head(headBytes, '\0');
                                                         const ssize_t n = ::recv(socket, head.data(), headBytes, MSG_WAITALL);
                                                         head.resize(size_t(std::max<ssize_t>(n, 0)));
                                                         {
                                                             std::lock_guard<std::mutex> lock(mutex);
                                                             served.push_back(head);
                                                         }
                                                         return ::send(socket, "ok\n", 3, MSG_NOSIGNAL) == 3;
                                                     });
    }

    void TearDown() override
    {
        gate.reset();
        for (int client : clients)
            ::close(client);
    }

    // A connection given to the gate; the test holds the client's end.
    int Connect()
    {
        int ends[2];
        EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
        clients.push_back(ends[0]);
        gate->Add(ends[1]);
        return ends[0];
    }

    static void Send(int client, const std::string& text)
    {
        EXPECT_EQ(::send(client, text.data(), text.size(), MSG_NOSIGNAL), ssize_t(text.size()));
    }

    // What the gate or the server wrote until the connection closed (or 3 s passed): the text,
    // and whether it closed.
    static std::pair<std::string, bool> ReadUntilClosed(int client, std::chrono::milliseconds wait = 3000ms)
    {
        std::string text;
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd in{client, POLLIN, 0};
            if (::poll(&in, 1, 50) <= 0)
                continue;
            char buffer[256];
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0)
                return {text, true};
            text.append(buffer, size_t(n));
        }
        return {text, false};
    }

    // What the client reads within the wait, without waiting for a close.
    static std::string ReadFor(int client, size_t bytes)
    {
        std::string text;
        const auto deadline = std::chrono::steady_clock::now() + 3s;
        while (text.size() < bytes && std::chrono::steady_clock::now() < deadline) {
            pollfd in{client, POLLIN, 0};
            char buffer[256];
            if (::poll(&in, 1, 50) > 0) {
                const ssize_t n = ::recv(client, buffer, std::min(sizeof buffer, bytes - text.size()), 0);
                if (n <= 0)
                    break;
                text.append(buffer, size_t(n));
            }
        }
        return text;
    }

    std::vector<std::string> Served()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return served;
    }

    std::unique_ptr<Web::ConnectionGate> gate;
    std::vector<int> clients;
    std::mutex mutex;
    std::vector<std::string> served;
};

TEST_F(Gate, ServesEachWholeHeadOnceAndKeepsTheConnection)
{
    Open();
    const int client = Connect();
    Send(client, "GE");
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(Served().empty());  // half a head waits
    Send(client, "T /a\r\n\r\n");
    EXPECT_EQ(ReadFor(client, 3), "ok\n");
    // Two heads in one write, each served whole after the other on the kept connection.
    Send(client, "GET /b\r\nX: 1\r\n\r\nGET /c\r\n\r\n");
    EXPECT_EQ(ReadFor(client, 6), "ok\nok\n");
    EXPECT_EQ(Served(), (std::vector<std::string>{"GET /a\r\n\r\n", "GET /b\r\nX: 1\r\n\r\n", "GET /c\r\n\r\n"}));
}

TEST_F(Gate, RefusesHeadsTooLargeOrTooSlowAndClosesIdleOnes)
{
    Open();
    const int flood = Connect();
    Send(flood, "GET / HTTP/1.1\r\n" + std::string(100, 'x'));
    const auto [floodAnswer, floodClosed] = ReadUntilClosed(flood);
    EXPECT_EQ(floodAnswer.rfind("HTTP/1.1 431 ", 0), 0u) << floodAnswer;
    EXPECT_TRUE(floodClosed);

    const int slow = Connect();
    const int idle = Connect();
    Send(slow, "GET / HT");
    const auto [slowAnswer, slowClosed] = ReadUntilClosed(slow);
    EXPECT_EQ(slowAnswer.rfind("HTTP/1.1 408 ", 0), 0u) << slowAnswer;
    EXPECT_TRUE(slowClosed);
    const auto [idleAnswer, idleClosed] = ReadUntilClosed(idle);
    EXPECT_EQ(idleAnswer, "");
    EXPECT_TRUE(idleClosed);

    // A client that stops sending halfway can never finish its head.
    const int hungUp = Connect();
    Send(hungUp, "GET / HT");
    ::shutdown(hungUp, SHUT_WR);
    EXPECT_TRUE(ReadUntilClosed(hungUp, 200ms).second);
    EXPECT_TRUE(Served().empty());
    EXPECT_EQ(gate->Waiting(), 0u);
}

TEST_F(Gate, BeyondTheLimitTheOldestNeverServedConnectionGoes)
{
    Open(3);
    const int kept = Connect();
    Send(kept, "A\r\n\r\n");
    ASSERT_EQ(ReadFor(kept, 3), "ok\n");  // served, and waiting again now
    const int first = Connect();
    const int second = Connect();
    const int third = Connect();  // one too many: the first unserved one goes
    EXPECT_TRUE(ReadUntilClosed(first, 200ms).second);
    EXPECT_FALSE(ReadUntilClosed(second, 100ms).second);
    Send(kept, "B\r\n\r\n");
    EXPECT_EQ(ReadFor(kept, 3), "ok\n");
    Send(third, "C\r\n\r\n");
    EXPECT_EQ(ReadFor(third, 3), "ok\n");
    EXPECT_LE(gate->Waiting(), 3u);
}

TEST_F(Gate, ClosingWithConnectionsWaitingAndBeingServed)
{
    Open();
    const int waiting = Connect();
    Send(waiting, "GE");
    const int served = Connect();
    Send(served, "GET\r\n\r\n");
    EXPECT_EQ(ReadFor(served, 3), "ok\n");
    gate.reset();
    EXPECT_TRUE(ReadUntilClosed(waiting, 200ms).second);
    EXPECT_TRUE(ReadUntilClosed(served, 200ms).second);
}

}  // namespace
