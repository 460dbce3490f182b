// The connection settings dialog: mode, protocol, binding, addresses, ports,
// Winsock version and the PC name, and the network tools around them.
#pragma once

#include <windows.h>

// The network tools the dialog's buttons open; they live above the
// connection, so the caller hands them in.
struct NetworkTools {
    INT_PTR (*adapterSearch)(HWND owner) = nullptr;
    INT_PTR (*ipAddress)(HWND owner) = nullptr;
    INT_PTR (*connectSearch)(HWND owner, bool asAdministrator) = nullptr;
};

INT_PTR ShowConnectionSettingsDialog(HWND owner, const NetworkTools& tools);
