// The one way data leaves the program, and the send path around it that
// records what was sent.
#pragma once

#include <cstdint>

#include "connection/connection_state.h"
#include "trace/trace_buffer.h"

// Sends on the open connection: TCP client on its socket, TCP server to the
// client in slot clientIndex, UDP client to the access point it was opened
// with, UDP server to the sender of the newest datagram. 0 on success (also
// for a short send); otherwise the Winsock code, already shown to the user
// as "ERR:<code>".
int32_t SendData(ConnectionState& state, const uint8_t* bytes, int32_t length, int32_t clientIndex);

// Whether a server's address cells are recorded for a send that failed: the
// dialogs keep them, the macro runner records only what was sent.
enum class AddressCells { EvenWhenSendFails, OnlyWhenSent };

// The send path: SendData, then in server mode four address cells (the peer
// the data went to) and the sent bytes as one block in the trace, recorded
// as one unit so no received block can come between them. A clientIndex
// outside 0..9 becomes 0. Returns SendData's result.
int32_t SendAndRecord(ConnectionState& state, TraceBuffer& trace, const uint8_t* bytes, int32_t length,
                      int32_t clientIndex, AddressCells addressCells);
