#include "connection/connection_state.h"

#include <cstring>

ConnectionState g_Connection;

bool IsServerMode(ConnectionMode mode) { return mode == ConnectionMode::TcpServer || mode == ConnectionMode::UdpServer; }
bool IsTcpMode(ConnectionMode mode) { return mode == ConnectionMode::TcpClient || mode == ConnectionMode::TcpServer; }

int ConnectedClientCount(const ConnectionState& state) {
    if (state.Mode != ConnectionMode::TcpServer) return 0;
    LockHold hold(state.PeerLock);
    int count = 0;
    for (const ClientSlot& slot : state.ClientSockets)
        if (slot.socket != kInvalidSocket && slot.socket != 0) ++count;
    return count;
}

ClientSlot ClientSlotAt(const ConnectionState& state, int index) {
    if (index < 0 || index >= kClientSlots) return {};
    LockHold hold(state.PeerLock);
    return state.ClientSockets[index];
}

void FreeAllClientSlots(ConnectionState& state) {
    LockHold hold(state.PeerLock);
    for (ClientSlot& slot : state.ClientSockets) slot = ClientSlot{};
}

Ipv4Endpoint LastPeer(const ConnectionState& state) {
    LockHold hold(state.PeerLock);
    return state.LastPeerAddress;
}

Ipv4Endpoint LastClient(const ConnectionState& state) {
    LockHold hold(state.PeerLock);
    return state.LastClientAddress;
}

void SetLastClient(ConnectionState& state, const Ipv4Endpoint& address) {
    LockHold hold(state.PeerLock);
    state.LastClientAddress = address;
}

int32_t UdpPeers(const ConnectionState& state, uint32_t (&peers)[kUdpPeerCapacity]) {
    LockHold hold(state.PeerLock);
    std::memcpy(peers, state.UdpPeerList, sizeof peers);
    return state.UdpPeerCount;
}

void ClearUdpPeers(ConnectionState& state) {
    LockHold hold(state.PeerLock);
    state.UdpPeerCount = 0;
}

void CopyLastReceived(const ConnectionState& state, uint8_t (&bytes)[kReceiveBufferSize]) {
    LockHold hold(state.PeerLock);
    std::memcpy(bytes, state.LastReceived, sizeof bytes);
}

void ClearLastReceived(ConnectionState& state) {
    LockHold hold(state.PeerLock);
    std::memset(state.LastReceived, 0, sizeof state.LastReceived);
}
