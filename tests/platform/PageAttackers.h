// Clients without the secret that press on a page server's port until stopped (at most 15 s):
// 100 that send a request head a byte every 50 ms and never end it, 1,000 that send nothing,
// and one that sends headers of a kilobyte as fast as the server takes them, up to 500 MB.
// Whatever the server closes comes back. For the page server's attack test and benchmark.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <thread>

class PageAttackers {
public:
    static constexpr int kSlowClients = 100;
    static constexpr int kIdleClients = 1000;
    static constexpr size_t kMaxFloodBytes = size_t(500) << 20;

    // Starts pressing on 127.0.0.1:port; returns once the idle clients have connected and
    // the flood is under way. Raises the process's open-file limit for their sockets.
    explicit PageAttackers(int port);
    ~PageAttackers() { Stop(); }
    PageAttackers(const PageAttackers&) = delete;
    PageAttackers& operator=(const PageAttackers&) = delete;

    void Stop();
    size_t Flooded() const { return mFlooded; }
    // How often a client found its connection closed by the server and opened another.
    int Reconnects() const { return mReconnects; }

private:
    bool Over() const;
    void Press();
    void Flood();
    void Reopen(int& client);

    const int mPort;
    std::atomic<bool> mStop{false};
    std::atomic<bool> mConnected{false};
    std::atomic<size_t> mFlooded{0};
    std::atomic<int> mReconnects{0};
    std::chrono::steady_clock::time_point mStart;
    std::thread mPress;
    std::thread mFlood;
};
