// The folder dialog of the Capture folder command.
#pragma once

#include <windows.h>

#include "trace/export_commands.h"

// Lets the user pick the folder for capture files; a cancel changes nothing.
void ChooseCaptureFolder(HWND owner, const WindowCapture& capture);
