// The network tools, opened modally from the connection settings dialog.
// Each may change the adapter or access-point address in the settings it is
// given; the caller shows the settings again when it returns.
#pragma once

#include <windows.h>

#include "common/app_settings.h"
#include "nettools/autokey_settings.h"

// Lists the PC's adapters; SET takes the chosen one's IPv4 address as the
// adapter address.
INT_PTR ShowAdapterSearchDialog(HWND owner, AppSettings& settings);

// Lists, writes, deletes and runs the address-change batch files; running a
// fixed-address file takes its address as the adapter address. The values
// handed to the credential tool are kept in `autokey` while the program runs.
INT_PTR ShowIpAddressDialog(HWND owner, AppSettings& settings, AutokeySettings& autokey);

// Runs "connect_ip.bat" (as administrator when asked) and offers the device
// addresses it logged; SET takes the chosen one as the access-point address.
INT_PTR ShowConnectSearchDialog(HWND owner, bool asAdministrator, AppSettings& settings);
