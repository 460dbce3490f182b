// Opening and closing the one connection. Every step reports to the user in
// a message box, success included; the open functions undo what they did
// when a step fails.
#pragma once

#include <cstdint>
#include <string>

#include "connection/connection_state.h"
#include "platform/message_box.h"

// The modeless "Connection" window shown while a TCP client connects.
class ConnectWaitIndicator {
public:
    virtual ~ConnectWaitIndicator() = default;
    virtual void Show(WindowHandle owner) = 0;
    virtual void Close() = 0;
};
void SetConnectWaitIndicator(ConnectWaitIndicator* indicator);

// The version word asked for: 1 -> 1.0, 2 -> 1.1, 3 -> 2.0, other -> 2.2
// (major version in the low byte).
uint16_t SocketVersionWord(int32_t wsaVersion);

// The three-line start-up message: versions, description, status.
std::u16string StartupMessage(const SocketLibraryInfo& info);

bool OpenTcpClient(WindowHandle owner);
bool OpenTcpServer(WindowHandle owner);
bool OpenUdpClient(WindowHandle owner);
bool OpenUdpServer(WindowHandle owner);
// The open for the mode in the settings.
bool OpenConnection(WindowHandle owner);

// Closes the open connection (asking first when a client is attached to a
// TCP server). IsConnectionActive() tells whether it is still open after.
void CloseConnection(WindowHandle owner);

// Starts the socket library with version 2.2 for a name lookup; reports a
// failure. The caller ends it with SocketCleanup().
bool StartWinsock(WindowHandle owner);
