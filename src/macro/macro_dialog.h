// The macro dialog: names a macro file, starts it, shows its progress and
// stops it. Its 100 ms timer drives the interpreter, one line a tick.
#pragma once

#include <windows.h>

// Opens the dialog modally unless it is open already.
void OpenMacroDialog(HWND mainWindow);
