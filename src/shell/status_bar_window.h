// The status bar at the bottom of the main window.
#pragma once

#include <windows.h>

#include "shell/window_state_win32.h"

void CreateStatusBar(HWND mainWindow);
void ForwardSizeToStatusBar(WPARAM wParam, LPARAM lParam);
// Sets the background for the window's state, which redraws every part.
void RefreshStatusBar(const WindowState& state);
// Draws a part on request; false for requests that are not the status bar's.
bool DrawStatusBarItem(const DRAWITEMSTRUCT* item, const WindowState& state);
