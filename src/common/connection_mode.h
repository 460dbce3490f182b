// The four ways the program connects, and the one way to ask the settings
// which of them is chosen.
#pragma once

#include "common/app_settings.h"

enum class ConnectionMode { TcpClient, TcpServer, UdpClient, UdpServer };

bool IsServerMode(ConnectionMode mode);
bool IsTcpMode(ConnectionMode mode);

// The mode the settings choose: a server only for IpMode 1, UDP only for
// TipUdpMode 1 (any other value read from the INI file counts as client, TCP).
ConnectionMode ModeOf(const AppSettings& settings);
