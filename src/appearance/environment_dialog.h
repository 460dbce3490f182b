// The environment dialog: scroll width, checksum letter case, automatic
// focus and the refresh period.
#pragma once

#include <windows.h>

INT_PTR ShowEnvironmentDialog(HWND owner);
