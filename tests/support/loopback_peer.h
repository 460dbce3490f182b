// Scripted peers on the loopback network for connection tests, and a poll
// with a deadline for waiting on the receive thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/sockets.h"

// Polls until the condition holds or the deadline passes; returns the condition.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = std::chrono::seconds(5));

// 127.0.0.n.
Ipv4Endpoint Loopback(uint8_t last, uint16_t port = 0);

// The test's own hold on the socket library (Winsock counts start-ups).
class SocketLibraryUse {
public:
    SocketLibraryUse();
    ~SocketLibraryUse();
};

// One socket owned by a test.
class PeerSocket {
public:
    explicit PeerSocket(bool tcp);
    ~PeerSocket();
    PeerSocket(const PeerSocket&) = delete;
    PeerSocket& operator=(const PeerSocket&) = delete;

    bool Bind(const Ipv4Endpoint& local);
    bool Listen();
    bool Connect(const Ipv4Endpoint& remote);
    uint16_t Port() const;
    SocketHandle Handle() const { return socket_; }
    bool Send(const std::vector<uint8_t>& bytes);
    bool SendTo(const std::vector<uint8_t>& bytes, const Ipv4Endpoint& to);
    // Reads what arrives within the deadline, until `count` bytes are in.
    std::vector<uint8_t> Receive(size_t count, std::chrono::milliseconds deadline = std::chrono::seconds(5));
    // One datagram (empty when none came).
    std::vector<uint8_t> ReceiveDatagram(Ipv4Endpoint& from, std::chrono::milliseconds deadline = std::chrono::seconds(5));
    // Accepts one connection (waits up to the deadline).
    SocketHandle Accept(std::chrono::milliseconds deadline = std::chrono::seconds(5));
    void Close();
    void Reset();  // close with a reset

private:
    SocketHandle socket_;
};

std::vector<uint8_t> Bytes(std::string_view text);
