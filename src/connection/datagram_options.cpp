#include "connection/datagram_options.h"

namespace {

// The interface of the join and of group sends: the adapter's when bound,
// else the system's default.
Ipv4Address GroupInterface(const ConnectionSettings& settings) {
    return settings.BindToAdapter ? settings.Adapter.address : Ipv4Address{};
}

bool SendsToGroup(const ConnectionSettings& settings) {
    return settings.Mode == ConnectionMode::UdpClient && settings.Access.address.IsMulticast();
}

// Loopback is the receiving socket's option on Windows and the sending
// socket's elsewhere: both set it, so a listener on this host hears a group.
std::u16string_view SetGroupSendOptions(SocketHandle socket, const ConnectionSettings& settings) {
    if (SetMulticastTtl(socket, settings.MulticastTtl) != 0) return u"setsockopt(IP_MULTICAST_TTL)";
    if (settings.BindToAdapter && SetMulticastInterface(socket, settings.Adapter.address) != 0)
        return u"setsockopt(IP_MULTICAST_IF)";
    if (SetMulticastLoop(socket, true) != 0) return u"setsockopt(IP_MULTICAST_LOOP)";
    return {};
}

}  // namespace

bool JoinsGroup(const ConnectionSettings& settings) {
    if (!settings.Group.IsMulticast()) return false;
    return settings.Mode == ConnectionMode::UdpServer || settings.BindToAdapter;
}

bool DatagramBindEndpoint(const ConnectionSettings& settings, Ipv4Endpoint& local) {
    bool server = settings.Mode == ConnectionMode::UdpServer;
    if (!server && !settings.BindToAdapter) return false;
    local = settings.Adapter;
    if (!settings.BindToAdapter || JoinsGroup(settings)) local.address = Ipv4Address{};
    return true;
}

std::u16string_view PrepareDatagramSocket(ConnectionState& state, SocketHandle socket) {
    const ConnectionSettings& settings = state.Opened;
    if (AllowBroadcast(socket) != 0) return u"setsockopt(SO_BROADCAST)";
    bool joins = JoinsGroup(settings);
    if (!joins && !SendsToGroup(settings)) return {};
    std::u16string_view failed = SetGroupSendOptions(socket, settings);
    if (!failed.empty() || !joins) return failed;
    if (JoinGroup(socket, settings.Group, GroupInterface(settings)) != 0) return u"setsockopt(IP_ADD_MEMBERSHIP)";
    state.GroupJoined = true;
    return {};
}

void LeaveJoinedGroup(ConnectionState& state, SocketHandle socket) {
    if (!state.GroupJoined) return;
    state.GroupJoined = false;
    LeaveGroup(socket, state.Opened.Group, GroupInterface(state.Opened));
}
