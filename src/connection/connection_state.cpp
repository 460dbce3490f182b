#include "connection/connection_state.h"

#include <algorithm>
#include <cstring>

#include "platform/text.h"

ConnectionSettings ConnectionSettingsOf(const AppSettings& settings) {
    ConnectionSettings c;
    c.Mode = ModeOf(settings);
    c.BindToAdapter = settings.BindMode == 1;
    c.Access = MakeEndpoint(settings.AccessIp, settings.AccessPort);
    c.Adapter = MakeEndpoint(settings.AdapterIp, settings.AdapterPort);
    c.WsaVersion = settings.WsaVersion;
    Ipv4Address group;
    if (ParseDottedText(TextView(settings.MulticastGroup), group) && group.IsMulticast()) c.Group = group;
    c.MulticastTtl = settings.MulticastTtl;
    return c;
}

int ConnectedClientCount(const ConnectionState& state) {
    if (state.Opened.Mode != ConnectionMode::TcpServer) return 0;
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

int32_t UdpPeers(const ConnectionState& state, Ipv4Address (&peers)[kUdpPeerCapacity]) {
    LockHold hold(state.PeerLock);
    std::copy(std::begin(state.UdpPeerList), std::end(state.UdpPeerList), peers);
    return state.UdpPeerCount;
}

void ClearUdpPeers(ConnectionState& state) {
    LockHold hold(state.PeerLock);
    state.UdpPeerCount = 0;
}

namespace {

void CopyBlock(ReceivedBlock& to, const uint8_t* bytes, int32_t length) {
    to.length = length < 0 ? 0 : (length > kReceiveMax ? kReceiveMax : length);
    if (to.length > 0) std::memcpy(to.bytes, bytes, static_cast<size_t>(to.length));
}

}  // namespace

void NoteReceivedLocked(ConnectionState& state, const uint8_t* bytes, int32_t length) {
    ReplyWatch& w = state.Replies;
    w.Any = true;
    CopyBlock(w.Latest, bytes, length);
    if (w.RecordCount > 0 && w.Latest.length <= w.Records[w.RecordCount - 1].length) return;
    // Full: the newest record gives way, so the longest block is always kept.
    int32_t slot = w.RecordCount < kReplyRecords ? w.RecordCount++ : kReplyRecords - 1;
    w.Records[slot] = w.Latest;
}

void MarkReceived(ConnectionState& state) {
    LockHold hold(state.PeerLock);
    state.Replies.Any = false;
    state.Replies.RecordCount = 0;
}

bool FirstReceivedSince(const ConnectionState& state, int32_t count, ReceivedBlock& out) {
    LockHold hold(state.PeerLock);
    const ReplyWatch& w = state.Replies;
    for (int32_t i = 0; i < w.RecordCount; ++i) {
        if (w.Records[i].length < count) continue;
        out = w.Records[i];
        return true;
    }
    return false;
}

bool LatestReceivedSince(const ConnectionState& state, ReceivedBlock& out) {
    LockHold hold(state.PeerLock);
    if (!state.Replies.Any) return false;
    out = state.Replies.Latest;
    return true;
}

int32_t TcpStreamOf(const ConnectionState& state, int32_t slot) {
    switch (state.Opened.Mode) {
    case ConnectionMode::TcpServer: return slot >= 0 && slot < kClientSlots ? slot : -1;
    case ConnectionMode::TcpClient: return kClientSlots;
    default: return -1;
    }
}

void CountPeerLocked(ConnectionState& state, const Ipv4Endpoint& peer, int32_t length) {
    if (!state.CountPeers) return;
    PeerCount* count = &state.OtherPeers;
    for (PeerCount& c : state.PeerCounts)
        if (c.peer == peer) {
            count = &c;
            break;
        }
    if (count == &state.OtherPeers && state.PeerCounts.size() < kPeerCountCapacity)
        count = &state.PeerCounts.emplace_back(PeerCount{peer});
    ++count->blocks;
    count->bytes += static_cast<uint64_t>(length);
}

std::vector<PeerCount> PeerCountsOf(const ConnectionState& state) {
    LockHold hold(state.PeerLock);
    std::vector<PeerCount> counts = state.PeerCounts;
    if (state.OtherPeers.blocks > 0) counts.push_back(state.OtherPeers);
    return counts;
}
