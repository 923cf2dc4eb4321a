#include "web/GatedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

namespace Web {
namespace {

// Set by the error handler while a worker answers a request: the connection ends after it.
thread_local bool tCloseAfterAnswer = false;

// The accepting thread hands each new connection straight to the gate.
class AtOnce : public httplib::TaskQueue {
public:
    void enqueue(std::function<void()> task) override { task(); }
    void shutdown() override {}
};

// A connection as the server's request reader sees it. The head, known to be whole, is read at
// once; the body then as asked for, so nothing of the next request is taken from the socket.
class GateStream : public httplib::Stream {
public:
    GateStream(int socket, size_t headBytes, int readMilliseconds, int writeMilliseconds)
        : mSocket(socket), mHead(headBytes, '\0'), mRead(readMilliseconds), mWrite(writeMilliseconds)
    {
        size_t got = 0;
        while (got < mHead.size()) {
            const ssize_t n = Receive(&mHead[got], mHead.size() - got);
            if (n <= 0)
                break;
            got += size_t(n);
        }
        mHead.resize(got);
    }

    bool is_readable() const override { return mAt < mHead.size() || Wait(POLLIN, mRead); }
    bool is_writable() const override { return Wait(POLLOUT, mWrite); }

    ssize_t read(char* data, size_t size) override
    {
        if (mAt < mHead.size()) {
            const size_t n = std::min(size, mHead.size() - mAt);
            std::copy_n(&mHead[mAt], n, data);
            mAt += n;
            return ssize_t(n);
        }
        return Receive(data, size);
    }

    ssize_t write(const char* data, size_t size) override
    {
        for (;;) {
            const ssize_t n = ::send(mSocket, data, size, MSG_DONTWAIT | MSG_NOSIGNAL);
            if (n >= 0 || errno == EINTR)
                return n >= 0 ? n : 0;
            if (errno != EAGAIN || !Wait(POLLOUT, mWrite))
                return -1;
        }
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override { Address(getpeername, ip, port); }
    void get_local_ip_and_port(std::string& ip, int& port) const override { Address(getsockname, ip, port); }
    socket_t socket() const override { return mSocket; }

private:
    ssize_t Receive(char* data, size_t size) const
    {
        for (;;) {
            const ssize_t n = ::recv(mSocket, data, size, MSG_DONTWAIT);
            if (n >= 0)
                return n;
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN || !Wait(POLLIN, mRead))
                return -1;
        }
    }

    bool Wait(short events, int milliseconds) const
    {
        pollfd wanted{mSocket, events, 0};
        int ready;
        do
            ready = ::poll(&wanted, 1, milliseconds);
        while (ready < 0 && errno == EINTR);
        return ready > 0;
    }

    template <typename Get>
    void Address(Get get, std::string& ip, int& port) const
    {
        sockaddr_in address{};
        socklen_t length = sizeof address;
        char text[INET_ADDRSTRLEN] = "";
        if (get(mSocket, reinterpret_cast<sockaddr*>(&address), &length) == 0 && address.sin_family == AF_INET)
            inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
        ip = text;
        port = ntohs(address.sin_port);
    }

    int mSocket;
    std::string mHead;
    size_t mAt = 0;
    int mRead;
    int mWrite;
};

int Milliseconds(time_t seconds, time_t microseconds) { return int(seconds * 1000 + microseconds / 1000); }

}  // namespace

GatedServer::GatedServer(const ConnectionGate::Limits& limits)
    : mGate(std::make_unique<ConnectionGate>(
          limits, [this](int socket, size_t headBytes) { return ServeOne(socket, headBytes); }))
{
    new_task_queue = [] { return new AtOnce; };
    const HandlerWithResponse closing = [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Connection", "close");
        tCloseAfterAnswer = true;
        return HandlerResponse::Unhandled;
    };
    set_error_handler(closing);
}

GatedServer::~GatedServer() { CloseConnections(); }

int GatedServer::Bind(const std::string& address, int backlog)
{
    const int port = bind_to_any_port(address);
    // The library listens with a backlog of a few; a burst of connections would have the
    // kernel drop the browser's among them.
    if (port > 0 && ::listen(svr_sock_, backlog) != 0)
        return -1;
    return port;
}

bool GatedServer::process_and_close_socket(socket_t socket)
{
    if (mGate != nullptr)
        mGate->Add(socket);
    else
        ::close(socket);
    return true;
}

bool GatedServer::ServeOne(int socket, size_t headBytes)
{
    GateStream stream(socket, headBytes, Milliseconds(read_timeout_sec_, read_timeout_usec_),
                      Milliseconds(write_timeout_sec_, write_timeout_usec_));
    tCloseAfterAnswer = false;
    bool clientCloses = false;
    const bool answered = process_request(stream, false, clientCloses, nullptr);
    return answered && !clientCloses && !tCloseAfterAnswer;
}

}  // namespace Web
