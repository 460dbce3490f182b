// The program's one top-level window: creation, messages and shutdown.
#pragma once

#include <windows.h>

#include "shell/window_state_win32.h"

// Registers the class and creates and shows the main window, which works on
// `state` until it is destroyed; nullptr on failure.
HWND CreateMainWindow(HINSTANCE instance, int showCommand, WindowState& state);

// Repaints the whole client area now.
void RepaintMainWindow(HWND window);
// Repaints the trace area only (the client area less toolbar and status bar).
void RepaintTraceArea(HWND window);
