// The canvas on a GDI device context, in the active colors.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/canvas.h"

struct CanvasFonts {
    HFONT small = nullptr;
    HFONT large = nullptr;
};

class GdiCanvas : public Canvas {
public:
    GdiCanvas(HDC dc, const CanvasFonts& fonts, const uint32_t* slotColors, int slotCount);
    ~GdiCanvas() override;  // leaves the black pen and brush selected, and the old font

    void Text(int x, int y, std::u16string_view text, CanvasFont font, int textSlot, int backSlot) override;
    void Rect(int left, int top, int right, int bottom, int slot) override;
    void Line(int x1, int y1, int x2, int y2, int slot) override;

private:
    COLORREF Color(int slot) const;

    HDC dc_;
    CanvasFonts fonts_;
    const uint32_t* colors_;
    int slotCount_;
    HGDIOBJ oldFont_;
};
