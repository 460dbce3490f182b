// A canvas that keeps every operation, so drawing tests can assert
// positions, texts and color slots.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"

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
