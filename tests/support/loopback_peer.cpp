#include "support/loopback_peer.h"

#include <thread>

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

Ipv4Endpoint Loopback(uint8_t last, uint16_t port) { return {Ipv4Address{{127, 0, 0, last}}, port}; }

SocketLibraryUse::SocketLibraryUse() {
    SocketLibraryInfo info;
    SocketStartup(0x0202, info);
}

SocketLibraryUse::~SocketLibraryUse() { SocketCleanup(); }

PeerSocket::PeerSocket(bool tcp) : socket_(OpenSocket(tcp)) {}

PeerSocket::~PeerSocket() { Close(); }

bool PeerSocket::Bind(const Ipv4Endpoint& local) { return BindSocket(socket_, local) == 0; }

bool PeerSocket::Listen() { return ListenSocket(socket_, 16) == 0; }

bool PeerSocket::Connect(const Ipv4Endpoint& remote) { return ConnectSocket(socket_, remote) == 0; }

uint16_t PeerSocket::Port() const {
    Ipv4Endpoint local;
    return LocalEndpoint(socket_, local) == 0 ? local.port : 0;
}

bool PeerSocket::Send(const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        int n = SendOn(socket_, bytes.data() + done, static_cast<int>(bytes.size() - done));
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool PeerSocket::SendTo(const std::vector<uint8_t>& bytes, const Ipv4Endpoint& to) {
    return SendDatagram(socket_, bytes.data(), static_cast<int>(bytes.size()), to) == static_cast<int>(bytes.size());
}

std::vector<uint8_t> PeerSocket::Receive(size_t count, std::chrono::milliseconds deadline) {
    std::vector<uint8_t> got;
    auto end = std::chrono::steady_clock::now() + deadline;
    while (got.size() < count && std::chrono::steady_clock::now() < end) {
        bool ready = false;
        if (WaitReadable(&socket_, 1, 20, &ready) <= 0 || !ready) continue;
        uint8_t buffer[4096];
        int n = ReceiveFrom(socket_, buffer, sizeof buffer);
        if (n <= 0) break;
        got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

std::vector<uint8_t> PeerSocket::ReceiveDatagram(Ipv4Endpoint& from, std::chrono::milliseconds deadline) {
    auto end = std::chrono::steady_clock::now() + deadline;
    while (std::chrono::steady_clock::now() < end) {
        bool ready = false;
        if (WaitReadable(&socket_, 1, 20, &ready) <= 0 || !ready) continue;
        uint8_t buffer[2048];
        int n = ::ReceiveDatagram(socket_, buffer, sizeof buffer, from);
        if (n >= 0) return std::vector<uint8_t>(buffer, buffer + n);
    }
    return {};
}

SocketHandle PeerSocket::Accept(std::chrono::milliseconds deadline) {
    bool ready = false;
    auto end = std::chrono::steady_clock::now() + deadline;
    while (std::chrono::steady_clock::now() < end) {
        if (WaitReadable(&socket_, 1, 20, &ready) > 0 && ready) {
            Ipv4Endpoint peer;
            return AcceptSocket(socket_, peer);
        }
    }
    return kInvalidSocket;
}

void PeerSocket::Close() {
    if (socket_ != kInvalidSocket) CloseSocket(socket_);
    socket_ = kInvalidSocket;
}

void PeerSocket::Reset() {
    if (socket_ != kInvalidSocket) AbortSocket(socket_);
    socket_ = kInvalidSocket;
}

std::vector<uint8_t> Bytes(std::string_view text) { return std::vector<uint8_t>(text.begin(), text.end()); }
