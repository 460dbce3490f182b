// The trace fonts: one Japanese-capable fixed-pitch face in two sizes, made
// when the main window opens. The trace, the grids of the sending dialogs
// and the color preview all draw with them, so that they look alike.
#pragma once

#include <windows.h>

#include "appearance/trace_metrics.h"
#include "platform/gdi_canvas_win32.h"

// Makes the fonts and measures them.
void CreateTraceFonts(HWND mainWindow);
void DeleteTraceFonts();
const CanvasFonts& TraceFonts();
const TraceMetrics& TraceFontMetrics();
