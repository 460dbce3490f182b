// The preset send dialog: the lines of the preset file, ten to a page, each
// sent with one click.
#pragma once

#include <windows.h>

#include "sending/sending_dialogs_window.h"

// Opens the dialog modally unless it is open already.
void OpenPresetSendDialog(HWND mainWindow, SendingDialogs& sending);
