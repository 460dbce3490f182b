// The dark and light mode dialog.
#pragma once

#include <windows.h>

// Modal. True when the user wrote "dkm.ini" (write-and-close): the caller
// then offers the restart that makes the new mode take effect.
bool ShowDarkModeDialog(HWND owner);
