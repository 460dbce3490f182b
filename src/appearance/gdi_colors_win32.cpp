#include "appearance/gdi_colors_win32.h"

#include "appearance/dark_mode.h"

GdiColors g_Gdi;

namespace {

constexpr int kPenSlots = 6;    // slots 0..5
constexpr int kBrushSlots = 7;  // slots 0..6

}  // namespace

void BuildActiveColors() {
    BuildActiveColorValues(g_Colors, g_Appearance.DarkMode, g_ActiveColors);
    for (int slot = 0; slot < kPenSlots; ++slot) g_Gdi.Pens[slot] = CreatePen(PS_SOLID, 1, SlotColor(slot));
    for (int slot = 0; slot < kBrushSlots; ++slot) g_Gdi.Brushes[slot] = CreateSolidBrush(SlotColor(slot));
    g_Gdi.BlackPen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    g_Gdi.BlackBrush = CreateSolidBrush(RGB(0, 0, 0));
}

void DeleteActiveColors() {
    for (HPEN& pen : g_Gdi.Pens) {
        if (pen) DeleteObject(pen);
        pen = nullptr;
    }
    for (HBRUSH& brush : g_Gdi.Brushes) {
        if (brush) DeleteObject(brush);
        brush = nullptr;
    }
    if (g_Gdi.BlackPen) DeleteObject(g_Gdi.BlackPen);
    if (g_Gdi.BlackBrush) DeleteObject(g_Gdi.BlackBrush);
    g_Gdi.BlackPen = nullptr;
    g_Gdi.BlackBrush = nullptr;
}
