// The receive threads: one body per kind of connection, each running while
// the connection is active and recording what arrives in the trace.
//
// Every blocking wait is bounded, so a thread notices the end of its
// connection by itself within kReceivePollMs and never uses a socket after
// the close has released it.
#pragma once

#include "connection/connection_state.h"
#include "trace/trace_buffer.h"

constexpr int kReceivePollMs = 50;
constexpr int kTcpClientPauseMs = 10;       // after every receive call
constexpr int kFailedReceivePauseMs = 10;   // after a failed receive call: no busy loop
constexpr int kDatagramReceiveBufferRequest = 4 << 20;  // bytes asked for a UDP socket

constexpr int kReplyRetryMs = 5;            // while replies wait for room in a socket

// Lets a TCP server's client k go: records its leaving, frees the slot,
// closes the socket and tells the listener.
void ReleaseClient(ConnectionState& state, TraceBuffer& trace, int k, const ClientSlot& slot);

void TcpClientReceiveLoop(ConnectionState& state, TraceBuffer& trace);
void TcpServerReceiveLoop(ConnectionState& state, TraceBuffer& trace);
void UdpReceiveLoop(ConnectionState& state, TraceBuffer& trace);
