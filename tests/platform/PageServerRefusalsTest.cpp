// What the page server refuses cheaply of a client that has the secret and the page's key: a
// call whose argument nests four million arrays deep costs no more than its first levels, and
// a body length that is no count is refused with 400 at once, not after waiting for its body.
// The page is the server's alone: no browser shows it, and requests reach it directly.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <regex>

#include <httplib.h>

#include "NoteBridge.h"
#include "ProcessMemory.h"
#include "web/LivePage.h"
#include "web/PageServer.h"
#include "web/Wire.h"

namespace {

using namespace std::chrono_literals;
using Web::Value;

class PageServerRefusals : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        server = Web::PageServer::Shared(error);
        ASSERT_NE(server, nullptr) << error;
        page.InstallBridge(NoteCounter(notes));
        id = server->AddPage(&page);
        std::smatch path;
        const std::string url = server->CallURL(id);
        ASSERT_TRUE(std::regex_match(url, path, std::regex(R"(http://[^/]+(/.*))"))) << url;
        callPath = path[1].str();
    }

    void TearDown() override
    {
        if (server != nullptr)
            server->RemovePage(id);
    }

    // The server's answer to the raw request, read until it closes the connection (or 10 s
    // pass); the client sends nothing more and keeps its side open meanwhile.
    std::string Exchange(const std::string& request) const
    {
        const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(uint16_t(server->Port()));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        std::string answer;
        if (::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::send(client, request.data(), request.size(), MSG_NOSIGNAL) == ssize_t(request.size())) {
            const auto deadline = std::chrono::steady_clock::now() + 10s;
            while (std::chrono::steady_clock::now() < deadline) {
                pollfd in{client, POLLIN, 0};
                if (::poll(&in, 1, 100) <= 0)
                    continue;
                char buffer[1024];
                const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
                if (n <= 0)
                    break;
                answer.append(buffer, size_t(n));
            }
        }
        ::close(client);
        return answer;
    }

    std::string Head(const std::string& length) const
    {
        return "POST " + callPath + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(server->Port()) +
               "\r\nContent-Type: text/plain\r\n" + length + "\r\n";
    }

    Web::PageServer* server = nullptr;
    Web::LivePage page;
    int id = 0;
    std::string callPath;
    int notes = 0;
};

TEST_F(PageServerRefusals, ACallNestedMillionsDeepCostsOnlyItsFirstLevels)
{
    // Four million arrays in a body of 8 MB: a tree of them took some 300 MB.
    constexpr size_t kDepth = 4000000;
    const std::string body =
        R"({"o":"host","m":"Note","a":[)" + std::string(kDepth, '[') + std::string(kDepth, ']') + "]}";
    ASSERT_LT(body.size(), Web::PageServer::kMaxRequestBytes);
    httplib::Client client("127.0.0.1", server->Port());
    client.set_read_timeout(60, 0);
    const long before = ProcessMemory::ResidentKb();
    ProcessMemory::ResetPeak();
    const httplib::Result result = client.Post(callPath.c_str(), body, "text/plain");
    const long grown = ProcessMemory::PeakKb() - before;
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 400);
    EXPECT_EQ(result->body, "a call whose arguments nest deeper than 64 arrays");
    // The body, its copy in the client and what the allocator keeps of their growth.
    EXPECT_LT(grown, 64 * 1024);
    page.RunQueuedCalls();
    EXPECT_EQ(notes, 0);
}

TEST_F(PageServerRefusals, ABodyLengthThatIsNoCountIsRefusedAtOnce)
{
    for (const char* length : {"-5", "+5", "5x", "0x10", "5 5"}) {
        const auto start = std::chrono::steady_clock::now();
        const std::string answer = Exchange(Head("Content-Length: " + std::string(length) + "\r\n"));
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(answer.substr(0, answer.find("\r\n")), "HTTP/1.1 400 Bad Request") << length;
        // Not after the 5 s the server would wait for a body it was promised.
        EXPECT_LT(took.count(), 4) << length;
    }
    // Two lengths that disagree say nothing either, though the first fits the call.
    const std::string call = R"({"o":"host","m":"Note","a":[1]})";
    const std::string size = std::to_string(call.size());
    const std::string twice = Exchange(Head("Content-Length: " + size + "\r\nContent-Length: 1" + size +
                                            "\r\nConnection: close\r\n") + call);
    EXPECT_EQ(twice.substr(0, twice.find("\r\n")), "HTTP/1.1 400 Bad Request");
    // A count goes through.
    const std::string counted = Exchange(Head("Content-Length: " + size + "\r\nConnection: close\r\n") + call);
    EXPECT_EQ(counted.substr(0, counted.find("\r\n")), "HTTP/1.1 200 OK");
    page.RunQueuedCalls();
    EXPECT_EQ(notes, 1);
}

}  // namespace
