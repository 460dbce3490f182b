// Runs the main window's commands (menu and toolbar ids 201..355).
#pragma once

#include <windows.h>

#include "shell/window_state_win32.h"

// False when the id is no command of the table.
bool RunMainCommand(HWND window, WindowState& state, int id);

// Page Up / Page Down in the main window.
void ScrollTraceForward(HWND window, WindowState& state);
void ScrollTraceBack(HWND window, WindowState& state);
