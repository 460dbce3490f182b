// Runs the main window's commands (menu and toolbar ids 201..355).
#pragma once

#include <windows.h>

// False when the id is no command of the table.
bool RunMainCommand(HWND window, int id);

// Page Up / Page Down in the main window.
void ScrollTraceForward(HWND window);
void ScrollTraceBack(HWND window);
