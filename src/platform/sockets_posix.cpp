#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/sockets.h"
#include "platform/text.h"

namespace {

sockaddr_in ToSockaddr(const Ipv4Endpoint& endpoint) {
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_port = htons(endpoint.port);
    std::memcpy(&a.sin_addr, endpoint.address.octets, 4);  // both in network order
    return a;
}

Ipv4Endpoint FromSockaddr(const sockaddr_in& a) {
    Ipv4Endpoint endpoint;
    std::memcpy(endpoint.address.octets, &a.sin_addr, 4);
    endpoint.port = ntohs(a.sin_port);
    return endpoint;
}

int Fd(SocketHandle socket) { return static_cast<int>(socket); }

bool WouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK; }

// -1 for a failed call, kWouldBlock for one that would wait.
int Failed() { return WouldBlock() ? kWouldBlock : -1; }

// An IPv4-level option of a socket: 0 or -1.
template <class Value>
int SetIpOption(SocketHandle socket, int name, const Value& value) {
    return ::setsockopt(Fd(socket), IPPROTO_IP, name, &value, sizeof value) == 0 ? 0 : -1;
}

in_addr Interface(const Ipv4Address& address) {
    in_addr a = {};
    std::memcpy(&a, address.octets, 4);  // both in network order
    return a;
}

int Membership(SocketHandle socket, int name, const Ipv4Address& group, const Ipv4Address& interfaceAddress) {
    ip_mreq request = {};
    request.imr_multiaddr = Interface(group);
    request.imr_interface = Interface(interfaceAddress);
    return SetIpOption(socket, name, request);
}

}  // namespace

int32_t SocketStartup(uint16_t versionWord, SocketLibraryInfo& info) {
    info.version = versionWord;
    info.highVersion = 0x0202;
    info.description = "BSD sockets";
    info.systemStatus = "Running";
    return 0;
}

int32_t SocketCleanup() { return 0; }

SocketHandle OpenSocket(bool tcp) {
    int fd = ::socket(AF_INET, tcp ? SOCK_STREAM : SOCK_DGRAM, 0);
    return fd < 0 ? kInvalidSocket : static_cast<SocketHandle>(fd);
}

int SetNonBlocking(SocketHandle socket) {
    int flags = ::fcntl(Fd(socket), F_GETFL, 0);
    return flags >= 0 && ::fcntl(Fd(socket), F_SETFL, flags | O_NONBLOCK) == 0 ? 0 : -1;
}

int CloseSocket(SocketHandle socket) { return ::close(Fd(socket)) == 0 ? 0 : -1; }

int AbortSocket(SocketHandle socket) {
    linger l = {1, 0};
    ::setsockopt(Fd(socket), SOL_SOCKET, SO_LINGER, &l, sizeof l);
    return CloseSocket(socket);
}

int BindSocket(SocketHandle socket, const Ipv4Endpoint& local) {
    sockaddr_in a = ToSockaddr(local);
    return ::bind(Fd(socket), reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 ? 0 : -1;
}

int ListenSocket(SocketHandle socket, int backlog) { return ::listen(Fd(socket), backlog) == 0 ? 0 : -1; }

int ConnectSocket(SocketHandle socket, const Ipv4Endpoint& remote) {
    sockaddr_in a = ToSockaddr(remote);
    int r;
    do r = ::connect(Fd(socket), reinterpret_cast<sockaddr*>(&a), sizeof a);
    while (r != 0 && errno == EINTR);
    if (r == 0) return 0;
    return errno == EINPROGRESS ? kWouldBlock : -1;
}

int FinishConnect(SocketHandle socket, int timeoutMs) {
    pollfd fd = {Fd(socket), POLLOUT, 0};
    int n = ::poll(&fd, 1, timeoutMs);
    if (n < 0) return errno == EINTR ? kWouldBlock : -1;
    if (n == 0) return kWouldBlock;
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(Fd(socket), SOL_SOCKET, SO_ERROR, &error, &length) != 0) return -1;
    errno = error;
    return error == 0 ? 0 : -1;
}

int WaitWritable(SocketHandle socket, int timeoutMs) {
    pollfd fd = {Fd(socket), POLLOUT, 0};
    int n = ::poll(&fd, 1, timeoutMs);
    if (n < 0) return errno == EINTR ? 0 : -1;
    return n > 0 ? 1 : 0;
}

SocketHandle AcceptSocket(SocketHandle listener, Ipv4Endpoint& peer) {
    sockaddr_in a = {};
    socklen_t length = sizeof a;
    int fd = ::accept(Fd(listener), reinterpret_cast<sockaddr*>(&a), &length);
    if (fd < 0) return kInvalidSocket;
    peer = FromSockaddr(a);
    return static_cast<SocketHandle>(fd);
}

int ShutdownSocket(SocketHandle socket, ShutdownDirection direction) {
    int how = direction == ShutdownDirection::Receive ? SHUT_RD : direction == ShutdownDirection::Send ? SHUT_WR : SHUT_RDWR;
    return ::shutdown(Fd(socket), how) == 0 ? 0 : -1;
}

int ReceiveFrom(SocketHandle socket, uint8_t* buffer, int length) {
    ssize_t n = ::recv(Fd(socket), buffer, static_cast<size_t>(length), 0);
    return n < 0 ? Failed() : static_cast<int>(n);
}

int ReceiveDatagram(SocketHandle socket, uint8_t* buffer, int length, Ipv4Endpoint& from) {
    sockaddr_in a = {};
    socklen_t addressLength = sizeof a;
    // Like Winsock, a datagram longer than the buffer is an error, not a cut.
    ssize_t n = ::recvfrom(Fd(socket), buffer, static_cast<size_t>(length), MSG_TRUNC,
                           reinterpret_cast<sockaddr*>(&a), &addressLength);
    if (n < 0) return Failed();
    // A socket shut down for receiving returns 0 with no sender, where
    // Winsock fails; a real empty datagram always has one.
    if (n == 0 && (addressLength == 0 || a.sin_family != AF_INET)) {
        errno = ESHUTDOWN;
        return -1;
    }
    from = FromSockaddr(a);
    if (n > length) {
        errno = EMSGSIZE;
        return -1;
    }
    return static_cast<int>(n);
}

int SendOn(SocketHandle socket, const uint8_t* bytes, int length) {
    ssize_t n = ::send(Fd(socket), bytes, static_cast<size_t>(length), MSG_NOSIGNAL);
    return n < 0 ? Failed() : static_cast<int>(n);
}

int SendDatagram(SocketHandle socket, const uint8_t* bytes, int length, const Ipv4Endpoint& to) {
    sockaddr_in a = ToSockaddr(to);
    ssize_t n = ::sendto(Fd(socket), bytes, static_cast<size_t>(length), MSG_NOSIGNAL,
                         reinterpret_cast<sockaddr*>(&a), sizeof a);
    return n < 0 ? Failed() : static_cast<int>(n);
}

int PendingBytes(SocketHandle socket) {
    int pending = 0;
    return ::ioctl(Fd(socket), FIONREAD, &pending) < 0 ? -1 : pending;
}

int SetReceiveBufferSize(SocketHandle socket, int bytes) {
    return ::setsockopt(Fd(socket), SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes) < 0 ? -1 : 0;
}

int WaitReadable(const SocketHandle* sockets, int count, int timeoutMs, bool* ready) {
    pollfd fds[64];
    if (count < 0 || count > 64) {
        errno = EINVAL;
        return -1;
    }
    for (int i = 0; i < count; ++i) fds[i] = {Fd(sockets[i]), POLLIN, 0};
    int n = ::poll(fds, static_cast<nfds_t>(count), timeoutMs);
    if (n < 0) return errno == EINTR ? 0 : -1;
    for (int i = 0; i < count; ++i) ready[i] = (fds[i].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) != 0;
    return n;
}

int AllowBroadcast(SocketHandle socket) {
    int on = 1;
    return ::setsockopt(Fd(socket), SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == 0 ? 0 : -1;
}

int SetMulticastTtl(SocketHandle socket, int ttl) { return SetIpOption(socket, IP_MULTICAST_TTL, int(ttl)); }

int SetMulticastInterface(SocketHandle socket, const Ipv4Address& interfaceAddress) {
    return SetIpOption(socket, IP_MULTICAST_IF, Interface(interfaceAddress));
}

int SetMulticastLoop(SocketHandle socket, bool on) { return SetIpOption(socket, IP_MULTICAST_LOOP, int(on ? 1 : 0)); }

int JoinGroup(SocketHandle socket, const Ipv4Address& group, const Ipv4Address& interfaceAddress) {
    return Membership(socket, IP_ADD_MEMBERSHIP, group, interfaceAddress);
}

int LeaveGroup(SocketHandle socket, const Ipv4Address& group, const Ipv4Address& interfaceAddress) {
    return Membership(socket, IP_DROP_MEMBERSHIP, group, interfaceAddress);
}

int LocalEndpoint(SocketHandle socket, Ipv4Endpoint& local) {
    sockaddr_in a = {};
    socklen_t length = sizeof a;
    if (::getsockname(Fd(socket), reinterpret_cast<sockaddr*>(&a), &length) != 0) return -1;
    local = FromSockaddr(a);
    return 0;
}

int PeerEndpoint(SocketHandle socket, Ipv4Endpoint& peer) {
    sockaddr_in a = {};
    socklen_t length = sizeof a;
    if (::getpeername(Fd(socket), reinterpret_cast<sockaddr*>(&a), &length) != 0) return -1;
    peer = FromSockaddr(a);
    return 0;
}

int32_t ResolveIpv4(std::u16string_view hostName, Ipv4Endpoint& endpoint) {
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int r = ::getaddrinfo(Utf16ToUtf8(hostName).c_str(), nullptr, &hints, &found);
    if (r != 0) return r;
    if (!found) return EAI_NONAME;
    std::memcpy(endpoint.address.octets, &reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr, 4);
    ::freeaddrinfo(found);
    return 0;
}
