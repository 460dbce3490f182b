// A drawing surface that knows the program's color slots and fonts. The
// trace view, the status bar and the input editors say what to draw through
// it; the Win32 backend draws with GDI, tests record the operations.
#pragma once

#include <string_view>

enum class CanvasFont { Small, Large, Default };

constexpr int kTransparent = -1;  // as a background slot: draw the text only

class Canvas {
public:
    virtual ~Canvas() = default;
    // Text with its top-left corner at (x, y); backSlot kTransparent or a
    // color slot filling the text cell behind it.
    virtual void Text(int x, int y, std::u16string_view text, CanvasFont font, int textSlot, int backSlot) = 0;
    // A rectangle framed and filled in one color slot (right and bottom exclusive).
    virtual void Rect(int left, int top, int right, int bottom, int slot) = 0;
    // A one-pixel line from (x1, y1) to (x2, y2), the end point excluded.
    virtual void Line(int x1, int y1, int x2, int y2, int slot) = 0;
};
