// The trace drawn in the main window's client area: the cell sizes of the
// trace fonts, full repaint, incremental drawing on the timer.
#pragma once

#include <windows.h>

#include "trace/trace_drawing.h"

// Measures the trace fonts (made first with CreateTraceFonts).
void MeasureTraceFonts(HWND mainWindow);
// The cell sizes of the trace fonts, shared by the grids of the sending
// dialogs so that both look alike.
const TraceMetrics& TraceFontMetrics();

void PaintTraceWindow(HWND mainWindow, HDC dc);
void DrawNewCellsWindow(HWND mainWindow);
void RedrawPendingStampWindow(HWND mainWindow);
