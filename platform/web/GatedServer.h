// An HTTP server whose connections wait in a ConnectionGate between requests: its workers see a
// connection only once a whole request head has come, answer that request and give the
// connection back. A request answered with an error status closes its connection, since its
// body may be left unread.
#pragma once

#include <memory>
#include <string>

#include <httplib.h>

#include "web/ConnectionGate.h"

namespace Web {

class GatedServer : public httplib::Server {
public:
    explicit GatedServer(const ConnectionGate::Limits& limits);
    ~GatedServer() override;

    // Binds to an ephemeral port of the address with room for backlog connections not yet
    // accepted; the port, or -1.
    int Bind(const std::string& address, int backlog);
    // Closes the connections and waits for the requests being answered; after stop().
    void CloseConnections() { mGate.reset(); }
    const ConnectionGate* Gate() const { return mGate.get(); }

private:
    bool process_and_close_socket(socket_t socket) override;
    // Answers the request whose head of headBytes waits in the socket; false closes the connection.
    bool ServeOne(int socket, size_t headBytes);

    std::unique_ptr<ConnectionGate> mGate;
};

}  // namespace Web
