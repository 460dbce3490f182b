// The 26-button toolbar under the menu bar.
#pragma once

#include <windows.h>

void CreateMainToolbar(HWND mainWindow);
void ForwardSizeToToolbar();
void SetToolbarConnected();
void SetToolbarDisconnected();
