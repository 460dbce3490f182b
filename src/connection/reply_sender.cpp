#include "connection/reply_sender.h"

#include <cstring>

#include "connection/receive_loops.h"
#include "connection/send_data.h"

namespace {

constexpr int32_t kDatagramStream = kClientSlots;  // a UDP socket's one queue (a TCP client's stream has the same place)

}  // namespace

ReplySender::ReplySender(ConnectionState& state, TraceBuffer& trace)
    : state_(state),
      trace_(trace),
      datagrams_(!IsTcpMode(state.Opened.Mode)),
      server_(IsServerMode(state.Opened.Mode)) {}

int32_t ReplySender::StreamOf(const PeerRef& to) const {
    int32_t stream = TcpStreamOf(state_, to.Slot);
    return stream < 0 ? kDatagramStream : stream;
}

SocketHandle ReplySender::SocketOf(const PeerRef& to) const {
    if (state_.Opened.Mode != ConnectionMode::TcpServer) return state_.MainSocket.load();
    if (to.Slot < 0 || to.Slot >= kClientSlots) return kInvalidSocket;
    return ClientSlotAt(state_, to.Slot).socket;
}

bool ReplySender::Send(const PeerRef& to, const uint8_t* bytes, int32_t length) {
    SocketHandle socket = SocketOf(to);
    if (socket == kInvalidSocket || length < 0) return false;
    int32_t stream = StreamOf(to);
    TraceSendHold hold(trace_);
    // Whatever waits goes first, and the owner's send is not cut into.
    if (!queues_[stream].empty() || (!datagrams_ && state_.OwnerStream == stream))
        return Queue(stream, socket, to, bytes, length, 0);
    int n = datagrams_ ? SendDatagram(socket, bytes, length, to.Address) : SendOn(socket, bytes, length);
    if (n == kWouldBlock) n = 0;
    if (n < 0) return false;
    if (datagrams_ || n >= length) {
        RecordSentBlock(hold, server_, to.Address, bytes, length);
        return true;
    }
    return Queue(stream, socket, to, bytes, length, n);
}

bool ReplySender::Queue(int32_t stream, SocketHandle socket, const PeerRef& to, const uint8_t* bytes,
                        int32_t length, int32_t sent) {
    std::vector<uint8_t>& queue = queues_[stream];
    size_t need = sizeof(Waiting) + static_cast<size_t>(length);
    if (queue.size() + need > static_cast<size_t>(kReplyQueueBytes) + sizeof(Waiting)) return false;
    if (queue.capacity() == 0) queue.reserve(kReplyQueueBytes + sizeof(Waiting));
    Waiting w{length, sent, socket, to};
    size_t at = queue.size();
    queue.resize(at + need);
    std::memcpy(queue.data() + at, &w, sizeof w);
    if (length > 0) std::memcpy(queue.data() + at + sizeof w, bytes, static_cast<size_t>(length));
    state_.RepliesQueued[stream] += length - sent;
    return true;
}

void ReplySender::DropStream(int32_t stream) {
    std::vector<uint8_t>& queue = queues_[stream];
    for (size_t at = 0; at < queue.size();) {
        Waiting w;
        std::memcpy(&w, queue.data() + at, sizeof w);
        at += sizeof w + static_cast<size_t>(w.length);
        ++lateFailures_;
    }
    queue.clear();
    state_.RepliesQueued[stream] = 0;
}

// Under the trace's lock: sends the queued replies in order until the
// socket is full; a reply recorded when its last byte has left.
bool ReplySender::FlushStream(int32_t stream) {
    std::vector<uint8_t>& queue = queues_[stream];
    TraceSendHold hold(trace_);
    while (!queue.empty()) {
        if (!datagrams_ && state_.OwnerStream == stream) return true;
        Waiting w;
        std::memcpy(&w, queue.data(), sizeof w);
        if (SocketOf(w.to) != w.socket) {  // the client left; its slot may serve another now
            DropStream(stream);
            return false;
        }
        const uint8_t* bytes = queue.data() + sizeof w;
        int n = datagrams_ ? SendDatagram(w.socket, bytes, w.length, w.to.Address)
                           : SendOn(w.socket, bytes + w.sent, w.length - w.sent);
        if (n == kWouldBlock) return true;
        if (n < 0 && !datagrams_) {
            DropStream(stream);
            return false;
        }
        if (n < 0) {
            ++lateFailures_;
        } else if (!datagrams_ && w.sent + n < w.length) {
            w.sent += n;
            state_.RepliesQueued[stream] -= n;
            std::memcpy(queue.data(), &w, sizeof w);
            continue;
        } else {
            RecordSentBlock(hold, server_, w.to.Address, bytes, w.length);
        }
        state_.RepliesQueued[stream] -= w.length - w.sent;
        queue.erase(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(sizeof w + w.length));
    }
    return false;
}

bool ReplySender::Flush() {
    bool waiting = false;
    for (int32_t stream = 0; stream <= kClientSlots; ++stream)
        if (!queues_[stream].empty() && FlushStream(stream)) waiting = true;
    return waiting;
}

int64_t ReplySender::TakeLateFailures() {
    int64_t n = lateFailures_;
    lateFailures_ = 0;
    return n;
}

void ReplySender::CloseClient(const PeerRef& client) {
    if (state_.Opened.Mode != ConnectionMode::TcpServer || client.Slot < 0 || client.Slot >= kClientSlots) return;
    ClientSlot slot = ClientSlotAt(state_, client.Slot);
    if (slot.socket == kInvalidSocket) return;
    if (FlushStream(client.Slot)) {  // what the socket would not take in time is lost with the client
        TraceSendHold hold(trace_);
        DropStream(client.Slot);
    }
    ReleaseClient(state_, trace_, client.Slot, slot);
}

int32_t ReplySender::Peers(PeerRef* out, int32_t capacity) {
    int32_t count = 0;
    switch (state_.Opened.Mode) {
    case ConnectionMode::TcpServer:
        for (int k = 0; k < kClientSlots && count < capacity; ++k) {
            ClientSlot slot = ClientSlotAt(state_, k);
            if (slot.socket != kInvalidSocket) out[count++] = {k, slot.address};
        }
        break;
    case ConnectionMode::TcpClient:
    case ConnectionMode::UdpClient:
        if (capacity > 0) out[count++] = {-1, state_.Opened.Access};
        break;
    case ConnectionMode::UdpServer:
        break;
    }
    return count;
}
