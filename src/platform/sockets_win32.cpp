#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

#include "platform/sockets.h"

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

SOCKET Raw(SocketHandle socket) { return static_cast<SOCKET>(socket); }

// -1 for a failed call, kWouldBlock for one on a non-blocking socket that would wait.
int Result(int r) {
    if (r != SOCKET_ERROR) return r;
    return WSAGetLastError() == WSAEWOULDBLOCK ? kWouldBlock : -1;
}

// An IPv4-level option of a socket: 0 or -1.
template <class Value>
int SetIpOption(SocketHandle socket, int name, const Value& value) {
    return ::setsockopt(Raw(socket), IPPROTO_IP, name, reinterpret_cast<const char*>(&value), sizeof value) == 0 ? 0 : -1;
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
    WSADATA data = {};
    int r = WSAStartup(versionWord, &data);
    if (r != 0) return r;
    info.version = data.wVersion;
    info.highVersion = data.wHighVersion;
    info.description = data.szDescription;
    info.systemStatus = data.szSystemStatus;
    return 0;
}

int32_t SocketCleanup() { return WSACleanup() == 0 ? 0 : WSAGetLastError(); }

SocketHandle OpenSocket(bool tcp) {
    SOCKET s = ::socket(AF_INET, tcp ? SOCK_STREAM : SOCK_DGRAM, 0);
    return s == INVALID_SOCKET ? kInvalidSocket : static_cast<SocketHandle>(s);
}

int SetNonBlocking(SocketHandle socket) {
    u_long on = 1;
    return ::ioctlsocket(Raw(socket), FIONBIO, &on) == 0 ? 0 : -1;
}

int CloseSocket(SocketHandle socket) { return Result(::closesocket(Raw(socket))); }

int AbortSocket(SocketHandle socket) {
    linger l = {1, 0};
    ::setsockopt(Raw(socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l), sizeof l);
    return CloseSocket(socket);
}

int BindSocket(SocketHandle socket, const Ipv4Endpoint& local) {
    sockaddr_in a = ToSockaddr(local);
    return Result(::bind(Raw(socket), reinterpret_cast<sockaddr*>(&a), sizeof a));
}

int ListenSocket(SocketHandle socket, int backlog) { return Result(::listen(Raw(socket), backlog)); }

int ConnectSocket(SocketHandle socket, const Ipv4Endpoint& remote) {
    sockaddr_in a = ToSockaddr(remote);
    return Result(::connect(Raw(socket), reinterpret_cast<sockaddr*>(&a), sizeof a));
}

SocketHandle AcceptSocket(SocketHandle listener, Ipv4Endpoint& peer) {
    sockaddr_in a = {};
    int length = sizeof a;
    SOCKET s = ::accept(Raw(listener), reinterpret_cast<sockaddr*>(&a), &length);
    if (s == INVALID_SOCKET) return kInvalidSocket;
    peer = FromSockaddr(a);
    return static_cast<SocketHandle>(s);
}

int ShutdownSocket(SocketHandle socket, ShutdownDirection direction) {
    int how = direction == ShutdownDirection::Receive ? SD_RECEIVE : direction == ShutdownDirection::Send ? SD_SEND : SD_BOTH;
    return Result(::shutdown(Raw(socket), how));
}

int ReceiveFrom(SocketHandle socket, uint8_t* buffer, int length) {
    return Result(::recv(Raw(socket), reinterpret_cast<char*>(buffer), length, 0));
}

int ReceiveDatagram(SocketHandle socket, uint8_t* buffer, int length, Ipv4Endpoint& from) {
    sockaddr_in a = {};
    int addressLength = sizeof a;
    int n = ::recvfrom(Raw(socket), reinterpret_cast<char*>(buffer), length, 0, reinterpret_cast<sockaddr*>(&a),
                       &addressLength);
    if (n == SOCKET_ERROR) return Result(n);
    from = FromSockaddr(a);
    return n;
}

int SendOn(SocketHandle socket, const uint8_t* bytes, int length) {
    return Result(::send(Raw(socket), reinterpret_cast<const char*>(bytes), length, 0));
}

int SendDatagram(SocketHandle socket, const uint8_t* bytes, int length, const Ipv4Endpoint& to) {
    sockaddr_in a = ToSockaddr(to);
    return Result(::sendto(Raw(socket), reinterpret_cast<const char*>(bytes), length, 0,
                           reinterpret_cast<sockaddr*>(&a), sizeof a));
}

int PendingBytes(SocketHandle socket) {
    u_long pending = 0;
    if (::ioctlsocket(Raw(socket), FIONREAD, &pending) == SOCKET_ERROR) return -1;
    return pending > 0x7FFFFFFFul ? 0x7FFFFFFF : static_cast<int>(pending);
}

int SetReceiveBufferSize(SocketHandle socket, int bytes) {
    return Result(::setsockopt(Raw(socket), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bytes), sizeof bytes));
}

int FinishConnect(SocketHandle socket, int timeoutMs) {
    // Winsock tells a failed connect in the exception set, not the write set.
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(Raw(socket), &writable);
    FD_SET(Raw(socket), &failed);
    timeval timeout = {timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    int n = ::select(0, nullptr, &writable, &failed, &timeout);
    if (n == SOCKET_ERROR) return -1;
    if (n == 0) return kWouldBlock;
    if (FD_ISSET(Raw(socket), &writable)) return 0;
    int error = 0;
    int length = sizeof error;
    ::getsockopt(Raw(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
    WSASetLastError(error != 0 ? error : WSAECONNREFUSED);
    return -1;
}

int WaitWritable(SocketHandle socket, int timeoutMs) {
    fd_set writable;
    FD_ZERO(&writable);
    FD_SET(Raw(socket), &writable);
    timeval timeout = {timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    int n = ::select(0, nullptr, &writable, nullptr, &timeout);
    return n == SOCKET_ERROR ? -1 : (n > 0 ? 1 : 0);
}

int WaitReadable(const SocketHandle* sockets, int count, int timeoutMs, bool* ready) {
    if (count < 0 || count > FD_SETSIZE) {
        WSASetLastError(WSAEINVAL);
        return -1;
    }
    fd_set set;
    FD_ZERO(&set);
    for (int i = 0; i < count; ++i) FD_SET(Raw(sockets[i]), &set);
    timeval timeout = {timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    int n = ::select(0, &set, nullptr, nullptr, &timeout);
    if (n == SOCKET_ERROR) return -1;
    for (int i = 0; i < count; ++i) ready[i] = FD_ISSET(Raw(sockets[i]), &set) != 0;
    return n;
}

int AllowBroadcast(SocketHandle socket) {
    DWORD on = 1;
    return ::setsockopt(Raw(socket), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on) == 0 ? 0 : -1;
}

int SetMulticastTtl(SocketHandle socket, int ttl) { return SetIpOption(socket, IP_MULTICAST_TTL, DWORD(ttl)); }

int SetMulticastInterface(SocketHandle socket, const Ipv4Address& interfaceAddress) {
    return SetIpOption(socket, IP_MULTICAST_IF, Interface(interfaceAddress));
}

int SetMulticastLoop(SocketHandle socket, bool on) { return SetIpOption(socket, IP_MULTICAST_LOOP, DWORD(on ? 1 : 0)); }

int JoinGroup(SocketHandle socket, const Ipv4Address& group, const Ipv4Address& interfaceAddress) {
    return Membership(socket, IP_ADD_MEMBERSHIP, group, interfaceAddress);
}

int LeaveGroup(SocketHandle socket, const Ipv4Address& group, const Ipv4Address& interfaceAddress) {
    return Membership(socket, IP_DROP_MEMBERSHIP, group, interfaceAddress);
}

int LocalEndpoint(SocketHandle socket, Ipv4Endpoint& local) {
    sockaddr_in a = {};
    int length = sizeof a;
    if (::getsockname(Raw(socket), reinterpret_cast<sockaddr*>(&a), &length) == SOCKET_ERROR) return -1;
    local = FromSockaddr(a);
    return 0;
}

int PeerEndpoint(SocketHandle socket, Ipv4Endpoint& peer) {
    sockaddr_in a = {};
    int length = sizeof a;
    if (::getpeername(Raw(socket), reinterpret_cast<sockaddr*>(&a), &length) == SOCKET_ERROR) return -1;
    peer = FromSockaddr(a);
    return 0;
}

int32_t ResolveIpv4(std::u16string_view hostName, Ipv4Endpoint& endpoint) {
    ADDRINFOW hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    ADDRINFOW* found = nullptr;
    std::wstring name(reinterpret_cast<const wchar_t*>(hostName.data()), hostName.size());
    int r = ::GetAddrInfoW(name.c_str(), nullptr, &hints, &found);
    if (r != 0) return r;
    if (!found) return WSAHOST_NOT_FOUND;
    std::memcpy(endpoint.address.octets, &reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr, 4);
    ::FreeAddrInfoW(found);
    return 0;
}
