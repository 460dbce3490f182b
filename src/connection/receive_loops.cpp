#include "connection/receive_loops.h"

#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

#include "connection/reply_sender.h"
#include "connection/socket_error_text.h"
#include "common/program_context.h"
#include "platform/socket_error.h"
#include "platform/tick_clock.h"

namespace {

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool Active(const ConnectionState& state) { return state.ConnectionActive.load(); }

// Under a flood every socket call counts (under Wine each is a round trip to
// its server): after one readiness wait a thread takes what is already
// waiting, up to a batch, and records the batch under one hold of each lock.
// Each block is still recorded on its own, with its own address and trailer.
constexpr int kDrainBatch = 64;

struct ReceiveBatch {
    int count = 0;
    int length[kDrainBatch] = {};
    Ipv4Endpoint from[kDrainBatch];
    uint8_t bytes[kDrainBatch][kReceiveBufferSize];
};

// Whether to receive once more: the batch has room and bytes are waiting.
// `pending` is what the socket reported last, less what was taken since, so
// it is asked again only when that is used up.
bool MoreWaiting(SocketHandle socket, const ReceiveBatch& batch, int& pending, int taken) {
    if (batch.count >= kDrainBatch) return false;
    pending -= taken;
    if (pending <= 0) pending = PendingBytes(socket);
    return pending > 0;
}

// `unlabelled`: blocks from this sender get no address cells (none: all do).
void AppendBatch(TraceBuffer& trace, const ReceiveBatch& batch, TraceCellKind addressKind, uint8_t firstValue,
                 const Ipv4Address* unlabelled = nullptr) {
    TraceBatchBlock blocks[kDrainBatch];
    for (int i = 0; i < batch.count; ++i)
        blocks[i] = {batch.bytes[i], batch.length[i], batch.from[i],
                     !unlabelled || batch.from[i].address != *unlabelled};
    AppendTraceBatch(trace, blocks, batch.count, Received, addressKind, firstValue);
}

// A capture that cannot keep up holds the receive side back (see SpillFull).
void WaitForCapture(const ConnectionState& state, const TraceBuffer& trace) {
    while (Active(state) && SpillFull(trace)) Pause(kFailedReceivePauseMs);
}

// The listener's side of a loop: what it is told, the sender of its
// replies, and how long the loop may wait before it is due again.
class Listening {
public:
    Listening(ConnectionState& state, TraceBuffer& trace) : listener_(state.Listener), sender_(state, trace) {
        if (listener_) listener_->Started(state.Opened.Mode, Now());
    }
    bool Answering() const { return listener_ && listener_->Answering(); }
    void Received(const PeerRef& from, const uint8_t* bytes, int length) {
        if (listener_) listener_->Received(from, bytes, length, Now(), sender_);
    }
    // On every pass: sends what waits, lets the listener act on time.
    // Returns how long the next wait may last.
    int Pass() {
        if (!listener_) return kReceivePollMs;
        bool waiting = sender_.Flush();
        uint32_t now = Now();
        listener_->Tick(now, sender_);
        int ms = listener_->MsUntilDue(now);
        if (waiting && ms > kReplyRetryMs) ms = kReplyRetryMs;
        return ms < 0 ? 0 : ms > kReceivePollMs ? kReceivePollMs : ms;
    }

private:
    static uint32_t Now() { return SystemTickClock().NowMs(); }
    ReceiveListener* listener_;
    ReplySender sender_;
};

// True when data (or the peer's close) is waiting; a failed wait pauses, so
// that a broken socket cannot make the loop spin.
bool WaitForData(SocketHandle socket, int timeoutMs) {
    bool ready = false;
    int n = WaitReadable(&socket, 1, timeoutMs, &ready);
    if (n < 0) Pause(kFailedReceivePauseMs);
    return n > 0 && ready;
}

void NoteReceived(ConnectionState& state, const uint8_t* bytes, int n) {
    LockHold hold(state.PeerLock);
    NoteReceivedLocked(state, bytes, n);
    CountPeerLocked(state, state.Opened.Access, n);
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
    SetNonBlocking(client);  // as the listener: a send waits in slices
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
    AppendAddressCells(trace, ClientEvent, peer.address, 1, peer.port);
    state.ClientsAccepted.fetch_add(1);
    state.PeerState.store(kTcpClientAttached);
}

// Records the blocks taken so far, notes them for READ and hands them to the
// listener; the batch is empty after.
void RecordClientBlocks(ConnectionState& state, TraceBuffer& trace, int k, const ClientSlot& slot,
                        ReceiveBatch& batch, Listening& listening) {
    // The trace first: a READ that sees a block finds it recorded.
    AppendBatch(trace, batch, FromAddress, 1);
    {
        LockHold hold(state.PeerLock);
        for (int i = 0; i < batch.count; ++i) {
            NoteReceivedLocked(state, batch.bytes[i], batch.length[i]);
            CountPeerLocked(state, slot.address, batch.length[i]);
        }
    }
    for (int i = 0; i < batch.count; ++i) listening.Received({k, slot.address}, batch.bytes[i], batch.length[i]);
    batch.count = 0;
}

// Takes what client k has sent, up to a batch; a close or a broken
// connection ends the batch and frees the slot after the batch is recorded.
// While rules answer, each block is recorded and answered as it comes, so
// the answer leaves before the next socket call.
void ServeClient(ConnectionState& state, TraceBuffer& trace, int k, ReceiveBatch& batch, Listening& listening) {
    ClientSlot slot = ClientSlotAt(state, k);
    {
        LockHold hold(state.PeerLock);
        state.CurrentClient = k;
    }
    batch.count = 0;
    int n = 0, pending = 0, taken = 0;
    do {
        n = ReceiveFrom(slot.socket, batch.bytes[batch.count], kReceiveMax);
        if (n <= 0) break;
        batch.from[batch.count] = slot.address;
        batch.length[batch.count++] = n;
        if (listening.Answering()) RecordClientBlocks(state, trace, k, slot, batch, listening);
    } while (++taken < kDrainBatch && MoreWaiting(slot.socket, batch, pending, n));
    RecordClientBlocks(state, trace, k, slot, batch, listening);
    if (n == 0 || n == -1) {  // closed, or broken
        // The peer's orderly close ends our receiving side too.
        if (n == 0 && ShutdownSocket(slot.socket, ShutdownDirection::Receive) != 0)
            ShowShutdownError(LastSocketError(), 2);
        ReleaseClient(state, trace, k, slot);
    }
}

void ShowSelectFailure() { ShowMessageBox(nullptr, u"Failed in execution of select.", u"select_Error", kMbOk); }

// ---- UDP ----

void RecordDatagrams(ConnectionState& state, TraceBuffer& trace, const ReceiveBatch& batch, Listening& listening) {
    if (batch.count == 0) return;
    bool server = state.Opened.Mode == ConnectionMode::UdpServer;
    // A client labels what its access point did not send (answers to a
    // broadcast or to a group, a third party): the access point's kind
    // cannot tell a directed broadcast, the sender can.
    const Ipv4Address* access = server ? nullptr : &state.Opened.Access.address;
    AppendBatch(trace, batch, FromAddress, 11, access);  // before a READ can see them
    {
        LockHold hold(state.PeerLock);
        for (int i = 0; i < batch.count; ++i) {
            state.LastPeerAddress = batch.from[i];
            NoteReceivedLocked(state, batch.bytes[i], batch.length[i]);
            CountPeerLocked(state, batch.from[i], batch.length[i]);
            if (server && state.UdpPeerCount < kUdpPeerCapacity)
                state.UdpPeerList[state.UdpPeerCount++] = batch.from[i].address;
        }
    }
    if (server) state.PeerState.store(kUdpDatagramArrived);
    // A client mode answers its access point, whoever sent.
    for (int i = 0; i < batch.count; ++i)
        listening.Received({-1, server ? batch.from[i] : state.Opened.Access}, batch.bytes[i], batch.length[i]);
}

// Takes the datagrams waiting, up to `most`; false after a failed receive.
// The socket does not block: receiving until it would costs one call a
// datagram, where asking what is waiting would cost two (a datagram socket
// tells only the size of the next one).
bool ReceiveDatagrams(SocketHandle socket, ReceiveBatch& batch, int most) {
    batch.count = 0;
    while (batch.count < most) {
        int n = ReceiveDatagram(socket, batch.bytes[batch.count], kReceiveMax, batch.from[batch.count]);
        if (n == kWouldBlock) return true;
        if (n < 0) return false;
        batch.length[batch.count++] = n;
    }
    return true;
}

}  // namespace

void ReleaseClient(ConnectionState& state, TraceBuffer& trace, int k, const ClientSlot& slot) {
    AppendAddressCells(trace, ClientEvent, slot.address.address, 11, slot.address.port);
    {
        LockHold hold(state.PeerLock);
        state.ClientSockets[k] = ClientSlot{};
    }
    if (CloseSocket(slot.socket) != 0) ShowSocketError(nullptr, u"closesocket(CS)");
    state.PeerState.store(kNoPeer);
    if (state.Listener) state.Listener->PeerGone({k, slot.address});
}

void TcpClientReceiveLoop(ConnectionState& state, TraceBuffer& trace) {
    SocketHandle socket = state.MainSocket.load();
    Listening listening(state, trace);
    while (Active(state)) {
        WaitForCapture(state, trace);
        if (!WaitForData(socket, listening.Pass())) continue;
        uint8_t buffer[kReceiveBufferSize] = {};
        int n = ReceiveFrom(socket, buffer, kReceiveMax);
        if (n >= 0) AppendTrace(trace, buffer, n, Received);  // 0 bytes: only the compaction check
        // The server's close (0 bytes, again every pass) is no block for a READ.
        if (n > 0) {
            NoteReceived(state, buffer, n);
            listening.Received({-1, state.Opened.Access}, buffer, n);
        }
        Pause(kTcpClientPauseMs);
    }
}

void TcpServerReceiveLoop(ConnectionState& state, TraceBuffer& trace) {
    SocketHandle listener = state.MainSocket.load();
    FreeAllClientSlots(state);
    auto batch = std::make_unique<ReceiveBatch>();
    Listening listening(state, trace);
    while (Active(state)) {
        WaitForCapture(state, trace);
        int waitMs = listening.Pass();
        SocketHandle set[kMaxWaitSockets];
        int slotOf[kMaxWaitSockets];
        bool ready[kMaxWaitSockets] = {};
        int count = BuildReadSet(state, listener, set, slotOf);
        int n = WaitReadable(set, count, waitMs, ready);
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
            ServeClient(state, trace, slotOf[i], *batch, listening);  // one client per pass
            break;
        }
    }
}

void UdpReceiveLoop(ConnectionState& state, TraceBuffer& trace) {
    SocketHandle socket = state.MainSocket.load();
    auto batch = std::make_unique<ReceiveBatch>();
    Listening listening(state, trace);
    while (Active(state)) {
        WaitForCapture(state, trace);
        int waitMs = listening.Pass();
        // A full batch says more is waiting: take it without a wait, which
        // under Wine costs as much as many receives.
        if (batch->count < kDrainBatch && !WaitForData(socket, waitMs)) continue;
        // While rules answer, one at a time: the answer leaves before the next call.
        bool received = ReceiveDatagrams(socket, *batch, listening.Answering() ? 1 : kDrainBatch);
        RecordDatagrams(state, trace, *batch, listening);
        if (!received) Pause(kFailedReceivePauseMs);
    }
}
