// The language dialog: picks the interface language from a combo box.
#pragma once

#include <windows.h>

#include "shell/window_state_win32.h"

// Modal. Returns the dialog's result: IDC_LANGUAGE_OK when a language was
// taken (the window's and the program's), 1 when the dialog was closed
// without one.
INT_PTR ShowLanguageDialog(HWND owner, WindowState& state);
