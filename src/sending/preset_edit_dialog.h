// The preset edit dialog: lines are typed, assembled into a list of up to
// 200, arranged, and read from or saved to a line file.
#pragma once

#include <windows.h>

#include "sending/sending_dialogs_window.h"

// Opens the dialog modally unless it is open already.
void OpenPresetEditDialog(HWND mainWindow, SendingDialogs& sending);
