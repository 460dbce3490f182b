// The trace drawn in the main window's client area: fonts, full repaint,
// incremental drawing on the timer.
#pragma once

#include <windows.h>

#include "platform/gdi_canvas_win32.h"
#include "trace/trace_drawing.h"

void CreateTraceFonts(HWND mainWindow);
void DeleteTraceFonts();
// The trace fonts and their cell sizes, shared by the grids of the sending
// dialogs so that both look alike.
const CanvasFonts& TraceFonts();
const TraceMetrics& TraceFontMetrics();

void PaintTraceWindow(HWND mainWindow, HDC dc);
void DrawNewCellsWindow(HWND mainWindow);
void RedrawPendingStampWindow(HWND mainWindow);
