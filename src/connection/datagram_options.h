// What a UDP socket needs besides its bind: sends to broadcast addresses,
// sends to a group (hops, interface, loopback to this host) and the
// membership of the group it listens to.
//
// A socket that joins a group binds its port on every address, whatever
// the bind setting: Windows refuses to bind a group address, and Linux and
// Wine hand no group datagram to a socket bound to a unicast address. The
// adapter address then only chooses the interface of the join and of the
// sends to a group.
#pragma once

#include <string_view>

#include "connection/connection_state.h"

// A UDP server joins its group; a client only when bound (it asks a group
// and hears the answers on its own port).
bool JoinsGroup(const ConnectionSettings& settings);

// Where a UDP socket binds; false: it does not bind (a client left to the
// system).
bool DatagramBindEndpoint(const ConnectionSettings& settings, Ipv4Endpoint& local);

// Sets the options and joins the group; the name of the call that failed,
// or an empty view.
std::u16string_view PrepareDatagramSocket(ConnectionState& state, SocketHandle socket);

// Leaves the group joined at the open, if any (before the socket closes).
void LeaveJoinedGroup(ConnectionState& state, SocketHandle socket);
