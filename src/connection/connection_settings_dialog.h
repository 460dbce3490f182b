// The connection settings dialog: mode, protocol, binding, addresses, ports,
// Winsock version and the PC name, and the network tools around them.
#pragma once

#include <windows.h>

#include <functional>

#include "common/app_settings.h"

// The network tools the dialog's buttons open; they live above the
// connection, so the caller hands them in, bound to what they change.
struct NetworkTools {
    std::function<INT_PTR(HWND owner)> adapterSearch;
    std::function<INT_PTR(HWND owner)> ipAddress;
    std::function<INT_PTR(HWND owner, bool asAdministrator)> connectSearch;
};

// Shows and edits `settings`; OK keeps what was typed.
INT_PTR ShowConnectionSettingsDialog(HWND owner, AppSettings& settings, const NetworkTools& tools);
