// The receive side's sends (replies from rules): never waiting, recorded in
// the trace as SEND blocks when their last byte leaves, in server modes
// after the address cells of the peer they went to.
//
// What a TCP socket cannot take yet waits in a queue of its own stream,
// bounded by kReplyQueueBytes: a client that stops reading gets its further
// replies dropped and counted, and the receive thread never stalls. While
// the owner's send is partway through a stream, replies to it wait, and the
// owner's send waits for queued replies (see SendAndRecord), so the two
// never interleave their bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "connection/connection_state.h"
#include "connection/receive_listener.h"
#include "trace/trace_buffer.h"

constexpr int32_t kReplyQueueBytes = 64 * 1024;  // per stream, replies waiting to leave

class ReplySender : public ReplyPort {
public:
    ReplySender(ConnectionState& state, TraceBuffer& trace);

    bool Send(const PeerRef& to, const uint8_t* bytes, int32_t length) override;
    void CloseClient(const PeerRef& client) override;
    int32_t Peers(PeerRef* out, int32_t capacity) override;

    // Sends what waits, as far as the sockets take it; true while anything
    // still waits.
    bool Flush();
    int64_t TakeLateFailures() override;

private:
    struct Waiting {  // one queued reply, followed by its bytes
        int32_t length;
        int32_t sent;
        SocketHandle socket;
        PeerRef to;
    };
    int32_t StreamOf(const PeerRef& to) const;
    SocketHandle SocketOf(const PeerRef& to) const;
    bool Queue(int32_t stream, SocketHandle socket, const PeerRef& to, const uint8_t* bytes, int32_t length,
               int32_t sent);
    bool FlushStream(int32_t stream);
    void DropStream(int32_t stream);

    ConnectionState& state_;
    TraceBuffer& trace_;
    bool datagrams_;
    bool server_;
    std::vector<uint8_t> queues_[kClientSlots + 1];
    int64_t lateFailures_ = 0;
};
