// The add dialog of the IP address setting: writes a batch file for one
// adapter with an automatic or a fixed address.
#pragma once

#include <windows.h>

INT_PTR ShowAddIpAddressDialog(HWND owner);
