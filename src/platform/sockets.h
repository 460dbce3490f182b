// IPv4 sockets for the connection engine: Winsock on Windows, BSD sockets
// elsewhere. Failures return -1 (or kInvalidSocket); the Winsock code of a
// failure is then read with LastSocketError() on the same thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ipv4_address.h"

using SocketHandle = uintptr_t;
constexpr SocketHandle kInvalidSocket = ~SocketHandle(0);

// What a call on a non-blocking socket returns when it would have to wait
// (a connect under way, a full send buffer, nothing to receive).
constexpr int kWouldBlock = -2;

// An IPv4 address and a port (host byte order).
struct Ipv4Endpoint {
    Ipv4Address address;
    uint16_t port = 0;
    bool operator==(const Ipv4Endpoint&) const = default;
};

// From typed numbers (settings fields); a port is used as its low 16 bits.
Ipv4Endpoint MakeEndpoint(const int32_t (&numbers)[4], int32_t port);

// What the socket library reports about itself at start-up.
struct SocketLibraryInfo {
    uint16_t version = 0;      // low byte major, high byte minor
    uint16_t highVersion = 0;
    std::string description;   // ANSI code page
    std::string systemStatus;
};

// Starts the library with a version word (major in the low byte); 0 or the
// library's error code.
int32_t SocketStartup(uint16_t versionWord, SocketLibraryInfo& info);
// Ends one start-up; 0 or an error code.
int32_t SocketCleanup();

SocketHandle OpenSocket(bool tcp);
// From now on no call on the socket waits: it returns kWouldBlock instead.
int SetNonBlocking(SocketHandle socket);
int CloseSocket(SocketHandle socket);
// Closes with a reset instead of an orderly close (the peer sees an error).
int AbortSocket(SocketHandle socket);
int BindSocket(SocketHandle socket, const Ipv4Endpoint& local);
int ListenSocket(SocketHandle socket, int backlog);
int ConnectSocket(SocketHandle socket, const Ipv4Endpoint& remote);
SocketHandle AcceptSocket(SocketHandle listener, Ipv4Endpoint& peer);

enum class ShutdownDirection { Receive, Send, Both };
int ShutdownSocket(SocketHandle socket, ShutdownDirection direction);

// Bytes received (0: orderly close) or -1.
int ReceiveFrom(SocketHandle socket, uint8_t* buffer, int length);
int ReceiveDatagram(SocketHandle socket, uint8_t* buffer, int length, Ipv4Endpoint& from);
// Bytes sent or -1.
int SendOn(SocketHandle socket, const uint8_t* bytes, int length);
int SendDatagram(SocketHandle socket, const uint8_t* bytes, int length, const Ipv4Endpoint& to);

// A non-blocking connect under way: 0 once connected, -1 when it failed
// (LastSocketError() tells why), kWouldBlock while it is still under way
// after waiting up to timeoutMs.
int FinishConnect(SocketHandle socket, int timeoutMs);
// Waits up to timeoutMs until the socket can take data to send: 1, 0 on
// time-out, -1 on failure.
int WaitWritable(SocketHandle socket, int timeoutMs);

// Waits up to timeoutMs until some of the sockets can be read; marks them in
// ready[] and returns how many, 0 on time-out, -1 on failure.
int WaitReadable(const SocketHandle* sockets, int count, int timeoutMs, bool* ready);

// Bytes that a receive call would return at once without waiting (for a
// datagram socket, some systems give only the next datagram's size), or -1.
int PendingBytes(SocketHandle socket);
// Asks for a receive buffer of `bytes`; the system may cap it. 0 or -1.
int SetReceiveBufferSize(SocketHandle socket, int bytes);

// Datagram options, each 0 or -1. Broadcast: sends to a broadcast address
// are allowed. Multicast sends: the hops a datagram may take (0: this host
// only), the interface address it leaves from (0.0.0.0: the system's
// choice), and whether listeners on this host hear it (Windows applies
// this on the receiving socket, Linux on the sending one).
int AllowBroadcast(SocketHandle socket);
int SetMulticastTtl(SocketHandle socket, int ttl);
int SetMulticastInterface(SocketHandle socket, const Ipv4Address& interfaceAddress);
int SetMulticastLoop(SocketHandle socket, bool on);
// Membership of a group on the interface with that address (0.0.0.0: the
// system's default interface).
int JoinGroup(SocketHandle socket, const Ipv4Address& group, const Ipv4Address& interfaceAddress);
int LeaveGroup(SocketHandle socket, const Ipv4Address& group, const Ipv4Address& interfaceAddress);

int LocalEndpoint(SocketHandle socket, Ipv4Endpoint& local);
int PeerEndpoint(SocketHandle socket, Ipv4Endpoint& peer);

// Resolves a host name to its first IPv4 address: 0, or the resolver's
// error code.
int32_t ResolveIpv4(std::u16string_view hostName, Ipv4Endpoint& endpoint);

// The socket's numeric value as the success message shows it.
inline long long SocketNumber(SocketHandle socket) { return static_cast<long long>(socket); }
