// The program's one top-level window.
#pragma once

#include <windows.h>

// Registers the class and creates the main window; nullptr on failure.
HWND CreateMainWindow(HINSTANCE instance, int showCommand);

extern HWND g_MainWindow;
