#include "platform/fuzz/PageRequestFuzzEntry.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <regex>

#include "web/LivePage.h"
#include "web/PageServer.h"

namespace PlatformFuzz {
namespace {

constexpr double kAnswerTimeout = 10;  // seconds for the server to answer and close

std::string& Folder()
{
    static std::string folder;
    return folder;
}

void RemoveFolder()
{
    for (const char* name : {"/data.txt", "/pipe"})
        std::remove((Folder() + name).c_str());
    ::rmdir(Folder().c_str());
}

// A page of the process's page server that no browser shows: requests reach it directly.
struct Fixture {
    Web::PageServer* server = nullptr;
    Web::LivePage page;
    int id = 0;
    std::string secret;
    std::string key;
    std::atomic<int> hostCalls{0};

    Fixture()
    {
        std::string error;
        server = Web::PageServer::Shared(error);
        if (server == nullptr)
            std::abort();
        Web::BridgeObject bridge;
        bridge.name = "host";
        bridge.methods = {{"Get", Web::BridgeObject::Call::Value}, {"Note", Web::BridgeObject::Call::Queued}};
        bridge.handler = [this](const std::string&, const std::vector<Web::Value>&) {
            ++hostCalls;
            return Web::Value::Number(1);
        };
        page.InstallBridge(std::move(bridge));
        id = server->AddPage(&page);
        char folder[] = "/tmp/spiro-page-fuzz-XXXXXX";
        if (mkdtemp(folder) == nullptr)
            std::abort();
        Folder() = folder;
        std::atexit(RemoveFolder);
        FILE* data = std::fopen((Folder() + "/data.txt").c_str(), "w");
        std::fputs("bundle file", data);
        std::fclose(data);
        mkfifo((Folder() + "/pipe").c_str(), 0600);
        server->SetDocument(id, "<p>fuzz</p>", folder);
        std::smatch parts;
        const std::string url = server->CallURL(id);
        if (!std::regex_match(url, parts, std::regex(R"(http://[^/]+/([0-9a-f]+)/call/\d+/([0-9a-f]+))")))
            std::abort();
        secret = parts[1].str();
        key = parts[2].str();
    }
};

Fixture& Shared()
{
    static Fixture* fixture = new Fixture;  // lives as long as the server, which outlives statics
    return *fixture;
}

std::string Substitute(std::string text, const Fixture& f)
{
    const std::pair<std::string, std::string> names[] = {
        {"@S", f.secret}, {"@P", std::to_string(f.id)}, {"@K", f.key},
        {"@H", "127.0.0.1:" + std::to_string(f.server->Port())}};
    for (const auto& [name, value] : names)
        for (size_t at = 0; (at = text.find(name, at)) != std::string::npos; at += value.size())
            text.replace(at, name.size(), value);
    return text;
}

int Connect(int port)
{
    const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(client);
        return -1;
    }
    return client;
}

double Seconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Sends the request and reads until the server closes; serves the host's calls meanwhile.
// False when the server neither took the request nor closed within the timeout.
bool Exchange(Fixture& f, const std::string& request, std::string& answer)
{
    const int client = Connect(f.server->Port());
    if (client < 0)
        return false;
    size_t sent = 0;
    bool shut = false;
    bool closed = false;
    const double deadline = Seconds() + kAnswerTimeout;
    while (!closed && Seconds() < deadline) {
        if (sent == request.size() && !shut) {
            ::shutdown(client, SHUT_WR);
            shut = true;
        }
        pollfd fds[2] = {{client, short(POLLIN | (sent < request.size() ? POLLOUT : 0)), 0},
                         {f.server->NotifyFd(), POLLIN, 0}};
        if (::poll(fds, 2, 100) <= 0)
            continue;
        if (fds[1].revents & POLLIN)
            Web::Page::ServeCalls();
        if ((fds[0].revents & POLLOUT) && sent < request.size()) {
            const ssize_t n = ::send(client, request.data() + sent, request.size() - sent, MSG_DONTWAIT | MSG_NOSIGNAL);
            if (n > 0)
                sent += size_t(n);
            else if (n < 0 && errno != EAGAIN)
                sent = request.size();  // the server closed early: read its answer
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            char buffer[1 << 14];
            const ssize_t n = ::recv(client, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n > 0)
                answer.append(buffer, size_t(n));
            else if (n == 0 || errno != EAGAIN)
                closed = true;
        }
    }
    ::close(client);
    f.page.RunQueuedCalls();
    return closed;
}

}  // namespace

std::string CheckPageRequest(const uint8_t* data, size_t size)
{
    Fixture& f = Shared();
    const std::string given(reinterpret_cast<const char*>(data), size);
    const int callsBefore = f.hostCalls;
    std::string answer;
    if (!Exchange(f, Substitute(given, f), answer))
        return "the server kept the connection open after the client stopped sending";
    // Necessary, not sufficient: the server decodes the path, so "@S%2F..." is the secret too.
    const bool secret = given.find("@S") != std::string::npos;
    const bool key = secret && given.find("@K") != std::string::npos;
    static const std::regex success("(^|\n)HTTP/1\\.[01] 2\\d\\d ");
    if (!secret && std::regex_search(answer, success))
        return "a request without the secret was answered with success";
    if (!key && f.hostCalls != callsBefore)
        return "a call without the page's key reached the host";
    return "";
}

}  // namespace PlatformFuzz
