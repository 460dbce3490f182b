#include "platform/gdi_canvas_win32.h"

#include "platform/wide_win32.h"

GdiCanvas::GdiCanvas(HDC dc, const CanvasFonts& fonts, const uint32_t* slotColors, int slotCount)
    : dc_(dc), fonts_(fonts), colors_(slotColors), slotCount_(slotCount),
      oldFont_(GetCurrentObject(dc, OBJ_FONT)) {}

GdiCanvas::~GdiCanvas() {
    SelectObject(dc_, oldFont_);
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    SelectObject(dc_, GetStockObject(BLACK_BRUSH));
}

COLORREF GdiCanvas::Color(int slot) const { return slot >= 0 && slot < slotCount_ ? colors_[slot] : RGB(0, 0, 0); }

void GdiCanvas::Text(int x, int y, std::u16string_view text, CanvasFont font, int textSlot, int backSlot) {
    HFONT f = font == CanvasFont::Small ? fonts_.small : font == CanvasFont::Large ? fonts_.large : nullptr;
    SelectObject(dc_, f ? static_cast<HGDIOBJ>(f) : oldFont_);
    SetTextColor(dc_, Color(textSlot));
    if (backSlot == kTransparent) {
        SetBkMode(dc_, TRANSPARENT);
    } else {
        SetBkMode(dc_, OPAQUE);
        SetBkColor(dc_, Color(backSlot));
    }
    TextOutW(dc_, x, y, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()));
}

void GdiCanvas::Rect(int left, int top, int right, int bottom, int slot) {
    HBRUSH brush = CreateSolidBrush(Color(slot));
    RECT r = {left, top, right, bottom};
    FillRect(dc_, &r, brush);
    DeleteObject(brush);
}

void GdiCanvas::Line(int x1, int y1, int x2, int y2, int slot) {
    HPEN pen = CreatePen(PS_SOLID, 1, Color(slot));
    HGDIOBJ old = SelectObject(dc_, pen);
    MoveToEx(dc_, x1, y1, nullptr);
    LineTo(dc_, x2, y2);
    SelectObject(dc_, old);
    DeleteObject(pen);
}
