// The color setting dialog's preview: a main window, an input dialog and the
// status bar in the colors being edited, drawn through the canvas.
#pragma once

#include <cstdint>

#include "appearance/color_scheme.h"
#include "platform/canvas.h"

// Besides the 21 color slots the preview draws its mock windows' frames:
// black lines on white in light mode, white lines on black in dark mode.
constexpr int kPreviewFrameLine = kColorSlots;
constexpr int kPreviewFrameFill = kColorSlots + 1;
constexpr int kPreviewSlots = kColorSlots + 2;

// The color of every slot the preview draws with, from the set shown.
void PreviewSlotColors(const Rgb* set, bool dark, uint32_t (&colors)[kPreviewSlots]);

// Everything at fixed pixel positions of the dialog's client area; the
// labels of the input dialog mock in Japanese or English.
void DrawColorPreview(Canvas& canvas, bool japanese);
