// The status bar at the bottom of the main window.
#pragma once

#include <windows.h>

void CreateStatusBar(HWND mainWindow);
void ForwardSizeToStatusBar(WPARAM wParam, LPARAM lParam);
// Sets the background for the current state, which redraws every part.
void RefreshStatusBar();
// Draws a part on request; false for requests that are not the status bar's.
bool DrawStatusBarItem(const DRAWITEMSTRUCT* item);
