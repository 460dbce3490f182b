// Pens and brushes made from the active colors, once per run.
#pragma once

#include <windows.h>

#include "appearance/color_scheme.h"

struct GdiColors {
    HPEN Pens[kColorSlots] = {};      // slots 0..5
    HBRUSH Brushes[kColorSlots] = {}; // slots 0..6; slot 6 is the dialog brush
    HPEN BlackPen = nullptr;          // selected back when painting ends
    HBRUSH BlackBrush = nullptr;
};

extern GdiColors g_Gdi;

// Active colors from the set that dark mode selects, with their pens and brushes.
void BuildActiveColors();
void DeleteActiveColors();

inline COLORREF SlotColor(int slot) { return g_ActiveColors.Value[slot]; }
