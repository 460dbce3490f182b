// Opening and closing a connection. Every step reports to the user in a
// message box, success included; the open functions undo what they did when
// a step fails. An open records into the trace it is given, with the
// settings it is given (copied into the state's Opened).
#pragma once

#include <cstdint>
#include <string>

#include "connection/connection_state.h"
#include "platform/message_box.h"
#include "trace/trace_buffer.h"

// The version word asked for: 1 -> 1.0, 2 -> 1.1, 3 -> 2.0, other -> 2.2
// (major version in the low byte).
uint16_t SocketVersionWord(int32_t wsaVersion);

// The three-line start-up message: versions, description, status.
std::u16string StartupMessage(const SocketLibraryInfo& info);

// The open for the settings' mode.
bool OpenConnection(ConnectionState& state, TraceBuffer& trace, const ConnectionSettings& settings,
                    WindowHandle owner);

// Closes the open connection (asking first when a client is attached to a
// TCP server). IsConnectionActive() tells whether it is still open after.
void CloseConnection(ConnectionState& state, WindowHandle owner);

// Starts the socket library with version 2.2 for a name lookup; reports a
// failure. The caller ends it with SocketCleanup().
bool StartWinsock(WindowHandle owner);
