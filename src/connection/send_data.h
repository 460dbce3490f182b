// The one way data leaves the program, and the send path around it that
// records what was sent.
#pragma once

#include <cstdint>

#include "connection/connection_state.h"
#include "trace/trace_buffer.h"

// Whether a server's address cells are recorded for a send that failed: the
// dialogs keep them, the macro runner records only what was sent.
enum class AddressCells { EvenWhenSendFails, OnlyWhenSent };

// Sends on the open connection and records what was sent: TCP client on its
// socket, TCP server to the client in slot clientIndex (outside 0..9: slot
// 0), UDP client to the access point it was opened with, UDP server to the
// sender of the newest datagram. In server mode four address cells (the peer
// the data went to) come before the sent bytes, as one unit.
//
// The last piece of the data leaves and its block is recorded under one hold
// of the trace's lock, so that a reply is never recorded before its request;
// while the socket has no room the send waits outside the lock, as long as
// the owner's GiveUp does not say otherwise. Returns 0 (a short send of a
// datagram counts as sent) or the Winsock code of the failure, already shown
// to the user as "ERR:<code>" (a send given up fails with WSAETIMEDOUT).
// Records a block that went out, in server modes after the address cells of
// the peer it went to (as one unit, under the caller's hold).
void RecordSentBlock(TraceSendHold& hold, bool server, const Ipv4Endpoint& peer, const uint8_t* bytes,
                     int32_t length);

int32_t SendAndRecord(ConnectionState& state, TraceBuffer& trace, const uint8_t* bytes, int32_t length,
                      int32_t clientIndex, AddressCells addressCells);
