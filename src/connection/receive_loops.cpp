#include "connection/receive_loops.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "connection/socket_error_text.h"
#include "platform/message_box.h"
#include "platform/socket_error.h"

namespace {

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool Active(const ConnectionState& state) { return state.ConnectionActive.load(); }

// True when data (or the peer's close) is waiting; a failed wait pauses, so
// that a broken socket cannot make the loop spin.
bool WaitForData(SocketHandle socket) {
    bool ready = false;
    int n = WaitReadable(&socket, 1, kReceivePollMs, &ready);
    if (n < 0) Pause(kFailedReceivePauseMs);
    return n > 0 && ready;
}

void NoteReceived(ConnectionState& state, const uint8_t* bytes, int n) {
    LockHold hold(state.PeerLock);
    NoteReceivedLocked(state, bytes, n);
}

// ---- TCP server ----

constexpr int kMaxWaitSockets = 64;

// The listening socket first, then every occupied slot.
int BuildReadSet(ConnectionState& state, SocketHandle listener, SocketHandle (&set)[kMaxWaitSockets],
                 int (&slotOf)[kMaxWaitSockets]) {
    int count = 0;
    set[count] = listener;
    slotOf[count++] = -1;
    LockHold hold(state.PeerLock);
    for (int k = 0; k < kClientSlots; ++k) {
        if (state.ClientSockets[k].socket == kInvalidSocket) continue;
        set[count] = state.ClientSockets[k].socket;
        slotOf[count++] = k;
    }
    return count;
}

int FirstFreeSlot(ConnectionState& state) {
    LockHold hold(state.PeerLock);
    for (int k = 0; k < kClientSlots; ++k)
        if (state.ClientSockets[k].socket == kInvalidSocket) return k;
    return -1;
}

void AcceptClient(ConnectionState& state, TraceBuffer& trace, SocketHandle listener) {
    Ipv4Endpoint peer;
    int k = FirstFreeSlot(state);
    SocketHandle client = AcceptSocket(listener, peer);
    if (client == kInvalidSocket) return;  // nothing was accepted: nothing to record
    if (k < 0) {
        CloseSocket(client);  // all slots taken: turned away unrecorded
        return;
    }
    {
        LockHold hold(state.PeerLock);
        state.CurrentClient = k;
        state.ClientSockets[k] = {client, peer};
        state.LastClientAddress = peer;
    }
    AppendAddressCells(trace, ClientEvent, peer.address, 1);
    state.PeerState.store(kTcpClientAttached);
}

// The client left (orderly) or its connection broke: record it and free the slot.
void DropClient(ConnectionState& state, TraceBuffer& trace, int k, const ClientSlot& slot, bool orderly) {
    AppendAddressCells(trace, ClientEvent, slot.address.address, 11);
    if (orderly && ShutdownSocket(slot.socket, ShutdownDirection::Receive) != 0) ShowShutdownError(LastSocketError(), 2);
    {
        LockHold hold(state.PeerLock);
        state.ClientSockets[k] = ClientSlot{};
    }
    if (CloseSocket(slot.socket) != 0) ShowSocketError(nullptr, u"closesocket(CS)");
    state.PeerState.store(kNoPeer);
}

void ServeClient(ConnectionState& state, TraceBuffer& trace, int k) {
    ClientSlot slot = ClientSlotAt(state, k);
    {
        LockHold hold(state.PeerLock);
        state.CurrentClient = k;
    }
    uint8_t buffer[kReceiveBufferSize] = {};
    int n = ReceiveFrom(slot.socket, buffer, kReceiveMax);
    if (n <= 0) {
        DropClient(state, trace, k, slot, n == 0);
        return;
    }
    NoteReceived(state, buffer, n);
    AppendAddressedTrace(trace, FromAddress, slot.address.address, 1, buffer, n, Received);
}

void ShowSelectFailure() { ShowMessageBox(nullptr, u"Failed in execution of select.", u"select_Error", kMbOk); }

// ---- UDP ----

void RecordDatagram(ConnectionState& state, TraceBuffer& trace, const uint8_t (&buffer)[kReceiveBufferSize], int n,
                    const Ipv4Endpoint& from) {
    bool server = state.Mode == ConnectionMode::UdpServer;
    {
        LockHold hold(state.PeerLock);
        state.LastPeerAddress = from;
        NoteReceivedLocked(state, buffer, n);
        if (server && state.UdpPeerCount < kUdpPeerCapacity) state.UdpPeerList[state.UdpPeerCount++] = from.address;
    }
    if (!server) {
        AppendTrace(trace, buffer, n, Received);
        return;
    }
    AppendAddressedTrace(trace, FromAddress, from.address, 11, buffer, n, Received);
    state.PeerState.store(kUdpDatagramArrived);
}

}  // namespace

void TcpClientReceiveLoop(ConnectionState& state, TraceBuffer& trace) {
    SocketHandle socket = state.MainSocket.load();
    while (Active(state)) {
        if (!WaitForData(socket)) continue;
        uint8_t buffer[kReceiveBufferSize] = {};
        int n = ReceiveFrom(socket, buffer, kReceiveMax);
        if (n >= 0) AppendTrace(trace, buffer, n, Received);  // 0 bytes: only the compaction check
        // The server's close (0 bytes, again every pass) is no block for a READ.
        if (n > 0) NoteReceived(state, buffer, n);
        Pause(kTcpClientPauseMs);
    }
}

void TcpServerReceiveLoop(ConnectionState& state, TraceBuffer& trace) {
    SocketHandle listener = state.MainSocket.load();
    FreeAllClientSlots(state);
    while (Active(state)) {
        SocketHandle set[kMaxWaitSockets];
        int slotOf[kMaxWaitSockets];
        bool ready[kMaxWaitSockets] = {};
        int count = BuildReadSet(state, listener, set, slotOf);
        int n = WaitReadable(set, count, kReceivePollMs, ready);
        if (n < 0) {
            ShowSelectFailure();
            return;
        }
        if (n == 0) continue;
        if (ready[0]) {
            AcceptClient(state, trace, listener);  // only the accept in this pass
            continue;
        }
        for (int i = 1; i < count; ++i) {
            if (!ready[i]) continue;
            ServeClient(state, trace, slotOf[i]);  // one client per pass
            break;
        }
    }
}

void UdpReceiveLoop(ConnectionState& state, TraceBuffer& trace) {
    SocketHandle socket = state.MainSocket.load();
    while (Active(state)) {
        if (!WaitForData(socket)) continue;
        uint8_t buffer[kReceiveBufferSize] = {};
        Ipv4Endpoint from;
        int n = ReceiveDatagram(socket, buffer, kReceiveMax, from);
        if (n < 0) {
            Pause(kFailedReceivePauseMs);
            continue;
        }
        RecordDatagram(state, trace, buffer, n, from);
    }
}
