// The menu bar, built from the interface texts in the current language.
#pragma once

#include <windows.h>

void BuildMenuBar(HWND mainWindow);
void DestroyMenuBar(HWND mainWindow);
// After a language change: the menu again, in the new language.
void RebuildMenuBar(HWND mainWindow);
