// The trace drawn in the main window's client area: fonts, full repaint,
// incremental drawing on the timer.
#pragma once

#include <windows.h>

void CreateTraceFonts(HWND mainWindow);
void DeleteTraceFonts();

void PaintTraceWindow(HWND mainWindow, HDC dc);
void DrawNewCellsWindow(HWND mainWindow);
void RedrawPendingStampWindow(HWND mainWindow);
