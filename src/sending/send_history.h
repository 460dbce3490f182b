// The send history and the send action shared by the input-send and preset
// send dialogs: a line is converted to bytes, sent to the chosen destination,
// recorded in the trace and, once sent, kept in the history.
#pragma once

#include <cstdint>
#include <string_view>

#include "connection/connection_state.h"
#include "platform/message_box.h"
#include "sending/line_entry.h"
#include "trace/trace_buffer.h"

// Puts a sent line at the top of the history, the oldest of 20 falling out.
// A line already in the history stays where it is; entries are compared over
// all 256 slots, so lines that differ only by trailing zero codes count as
// the same. An empty line is not stored. True when the line was added.
bool AddToHistory(SendHistory& history, const char16_t* codes, int32_t count);

// Removes one entry; the later ones move up and the last becomes empty.
void DeleteHistoryEntry(SendHistory& history, int32_t index);

// Whether the send button may send: always in client mode; in server mode
// only with a TCP client attached (TCP) or after a datagram arrived (UDP).
// The peer state tells only the latest event: once any client has left it no
// longer says "attached", so a TCP server also counts its connected clients.
bool SendAllowed(ConnectionMode mode, int32_t peerState, int connectedClients);
// The same for an open connection, showing message text 32 (caption text
// 33) when there is nobody to send to.
bool CheckSendDestination(WindowHandle owner, const ConnectionState& state);

// The client slot chosen in the destination box: its first character as a
// decimal digit, anything else 0.
int32_t DestinationIndexFromText(std::u16string_view text);

// The send action: converts the codes to one byte each, sends them to the
// destination chosen in the box (text as shown in it) through SendAndRecord
// (a server's address cells are kept even when the send fails), and adds the
// line to the history once it was sent. An empty line sends, records and
// stores nothing. Returns 0 or the send's error code, which the send path has
// already shown.
int32_t SendLineFromDialog(ConnectionState& state, TraceBuffer& trace, SendHistory& history, const char16_t* codes,
                           int32_t count, std::u16string_view destinationText);
