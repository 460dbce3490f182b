// The input-send dialog: type a line, send it, and work with the history of
// lines sent.
#pragma once

#include <windows.h>

#include "sending/sending_dialogs_window.h"

// Opens the dialog modally unless it is open already.
void OpenInputSendDialog(HWND mainWindow, SendingDialogs& sending);
