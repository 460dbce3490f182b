// The connection settings dialog: mode, protocol, binding, addresses, ports,
// Winsock version and the PC name, and the network tools around them.
#pragma once

#include <windows.h>

INT_PTR ShowConnectionSettingsDialog(HWND owner);
