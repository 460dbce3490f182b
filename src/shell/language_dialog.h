// The language dialog: picks the interface language from a combo box.
#pragma once

#include <windows.h>

// Modal. Returns the dialog's result: IDC_LANGUAGE_OK when a language was
// taken, 1 when the dialog was closed without one.
INT_PTR ShowLanguageDialog(HWND owner);
