// What the receive thread tells a listener (the reply rules) as blocks
// arrive, and what the listener may do in return. Everything here runs on
// the receive thread and must not block or sleep: a listener that wants to
// act later says when (MsUntilDue), and the thread's wait wakes it.
#pragma once

#include <cstdint>

#include "common/connection_mode.h"
#include "platform/sockets.h"

// A peer as the receive side knows it: a TCP server's client by its slot,
// anyone else by address (a UDP server's sender, a client's access point).
struct PeerRef {
    int32_t Slot = -1;  // 0..9 for a TCP server's client, else -1
    Ipv4Endpoint Address;
};

class ReplyPort {
public:
    virtual ~ReplyPort() = default;
    // Sends without waiting and records what went as a SEND block; bytes the
    // socket cannot take yet wait in a bounded queue. false when they were
    // dropped (queue full, peer gone) or the send failed.
    virtual bool Send(const PeerRef& to, const uint8_t* bytes, int32_t length) = 0;
    // A TCP server lets the client go, as if it had left; elsewhere nothing.
    virtual void CloseClient(const PeerRef& client) = 0;
    // The peers a timed send goes to: a TCP server's clients, a client
    // mode's access point (a UDP server's peers are the listener's own).
    virtual int32_t Peers(PeerRef* out, int32_t capacity) = 0;
    // Replies that Send had queued and that were dropped or failed later,
    // since the last call.
    virtual int64_t TakeLateFailures() = 0;
};

class ReceiveListener {
public:
    virtual ~ReceiveListener() = default;
    // Whether blocks are answered now: the receive thread then hands over
    // each block as it arrives, rather than a batch at a time.
    virtual bool Answering() const = 0;
    // The receive thread starts, for a connection in this mode.
    virtual void Started(ConnectionMode mode, uint32_t nowMs) = 0;
    // A block arrived (recorded in the trace already).
    virtual void Received(const PeerRef& from, const uint8_t* bytes, int32_t length, uint32_t nowMs,
                          ReplyPort& port) = 0;
    // A TCP server's client left or was let go.
    virtual void PeerGone(const PeerRef& peer) = 0;
    // Called on every pass of the receive loop.
    virtual void Tick(uint32_t nowMs, ReplyPort& port) = 0;
    // How long the receive thread may wait before the next Tick is due.
    virtual int32_t MsUntilDue(uint32_t nowMs) = 0;
};
