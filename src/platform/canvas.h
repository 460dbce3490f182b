// A drawing surface that knows the program's color slots and fonts. The
// trace view, the status bar and the input editors say what to draw through
// it; the Win32 backend draws with GDI, tests record the operations.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// Keeps every operation, for tests.
class RecordingCanvas : public Canvas {
public:
    enum class Kind { Text, Rect, Line };
    struct Op {
        Kind kind;
        int x, y, x2, y2;  // text: x, y; rect: left, top, right, bottom; line: ends
        std::u16string text;
        CanvasFont font;
        int slot;      // text color or fill/line color
        int backSlot;  // text background, kTransparent for none
    };

    void Text(int x, int y, std::u16string_view text, CanvasFont font, int textSlot, int backSlot) override {
        ops.push_back({Kind::Text, x, y, 0, 0, std::u16string(text), font, textSlot, backSlot});
    }
    void Rect(int left, int top, int right, int bottom, int slot) override {
        ops.push_back({Kind::Rect, left, top, right, bottom, u"", CanvasFont::Default, slot, kTransparent});
    }
    void Line(int x1, int y1, int x2, int y2, int slot) override {
        ops.push_back({Kind::Line, x1, y1, x2, y2, u"", CanvasFont::Default, slot, kTransparent});
    }

    // The text operations with this text, in drawing order.
    std::vector<Op> TextsEqualTo(std::u16string_view text) const {
        std::vector<Op> found;
        for (const Op& op : ops)
            if (op.kind == Kind::Text && op.text == text) found.push_back(op);
        return found;
    }

    std::vector<Op> ops;
};
