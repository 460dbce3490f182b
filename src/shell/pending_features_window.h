// Steps of the main window whose features are still being built. Each is
// one named place, connected when its feature lands; until then it does
// nothing, so the rest of the program runs in order around it.
#pragma once

#include <windows.h>

// Commands.
void OpenMacroFileEditor(HWND mainWindow);
void OpenColorDialog(HWND mainWindow);
void OpenAboutDialog(HWND mainWindow);
void OpenManual(HWND mainWindow);
void OpenWebPage(HWND mainWindow);
