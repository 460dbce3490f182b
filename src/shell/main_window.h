// The program's one top-level window: creation, messages and shutdown.
#pragma once

#include <windows.h>

// Registers the class and creates and shows the main window; nullptr on failure.
HWND CreateMainWindow(HINSTANCE instance, int showCommand);

extern HWND g_MainWindow;
extern HINSTANCE g_Instance;

// Repaints the whole client area now.
void RepaintMainWindow(HWND window);
// Repaints the trace area only (the client area less toolbar and status bar).
void RepaintTraceArea(HWND window);
