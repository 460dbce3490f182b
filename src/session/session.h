// One connection's engine as a value: the connection (with the settings it
// was opened with and the replies it noted), its trace, the macro run
// with its registers, and the reply rules. Whoever runs a connection owns one: the main window
// for the whole run, lanvisor-run for its one run, a test for itself; two
// sessions in one process do not touch each other. The operations below
// this floor take only the part they work on.
#pragma once

#include "common/app_settings.h"
#include "connection/connection_state.h"
#include "macro/macro_registers.h"
#include "macro/macro_runner.h"
#include "platform/message_box.h"
#include "replies/reply_engine.h"
#include "trace/trace_buffer.h"

struct Session {
    ConnectionState Connection;
    TraceBuffer Trace;
    MacroRun Macro;
    MacroRegisters Registers;  // kept from one macro run to the next
    ReplyEngine Replies;       // answers on the receive side while its rules are on
};

// Opens the connection in the mode, with the addresses and ports, that the
// settings hold now (the connection keeps to them while it is open).
bool OpenSession(Session& session, const AppSettings& settings, WindowHandle owner);
// Closes it (asking first when a TCP server still has a client).
void CloseSession(Session& session, WindowHandle owner);

inline bool IsSessionOpen(const Session& session) { return IsConnectionActive(session.Connection); }
