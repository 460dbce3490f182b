#include <gtest/gtest.h>

#include <string>

#include "appearance/color_scheme.h"
#include "common/app_settings.h"
#include "common/text_table.h"
#include "platform/text.h"
#include "sending/input_line_drawing.h"

namespace {

using Op = RecordingCanvas::Op;

// sh 10, cw 9, ch 18: cells 18 pixels square, stored rows 51 pixels apart.
constexpr InputLineMetrics kMetrics{10, 9, 18};

struct Expected {
    std::u16string_view text;
    int x, y;
    CanvasFont font;
    int slot, backSlot;
};

void ExpectTexts(const RecordingCanvas& canvas, std::initializer_list<Expected> expected) {
    for (const auto& e : expected) {
        auto found = canvas.TextsEqualTo(e.text);
        ASSERT_EQ(found.size(), 1u) << Utf16ToUtf8(e.text);
        const Op& op = found[0];
        EXPECT_EQ((std::vector<int>{op.x, op.y, int(op.font), op.slot, op.backSlot}),
                  (std::vector<int>{e.x, e.y, int(e.font), e.slot, e.backSlot}))
            << Utf16ToUtf8(e.text);
    }
}

TEST(PaintInputLine, FramesHeadingLabelsNumbersAndCells) {
    TextTable saved = g_Texts;
    CopyTextInto(g_Texts.Texts[67][g_Settings.Language], u"ASC");
    CopyTextInto(g_Texts.Texts[68][g_Settings.Language], u"HEX");
    InputLine line;
    const char16_t codes[] = {0x41, 0x0D, 0x3042};
    std::copy(codes, codes + 3, line.codes);
    line.length = 3;
    SetEntryMode(line, Notation::Hex);
    TakeTypedText(line, u"7");  // a held digit is not repainted
    RecordingCanvas canvas;
    PaintInputLine(canvas, kMetrics, line, u"Type here", kAscHexText);
    g_Texts = saved;

    // Frames in the colors of their cells: even columns 3 and 5, odd 2 and 4.
    ASSERT_GE(canvas.ops.size(), 128u);
    const int frames[][5] = {{40, 40, 58, 58, kAscBack2}, {40, 58, 58, 76, kHexBack2}, {58, 40, 76, 58, kAscBack1}};
    for (int i = 0; i < 3; ++i) {
        const Op& r = canvas.ops[size_t(i)];
        EXPECT_EQ((std::vector<int>{r.x, r.y, r.x2, r.y2, r.slot}), std::vector<int>(frames[i], frames[i] + 5)) << i;
    }
    EXPECT_EQ(canvas.ops[127].x, 40 + 18 * 63);
    ExpectTexts(canvas, {
        {u"Type here", 40, 5, CanvasFont::Large, kTextColor, kTransparent},
        {u"ASC", 0, 45, CanvasFont::Small, kAscHexText, kTransparent},
        {u"HEX", 0, 65, CanvasFont::Small, kAscHexText, kAscHexBack},  // the current notation
        {u"000", 40, 25, CanvasFont::Small, kTextColor, kTransparent},
        {u"063", 40 + 18 * 63, 25, CanvasFont::Small, kTextColor, kTransparent},
        {u"A", 44, 40, CanvasFont::Large, kTextColor, kAscBack2},  // one character: centred
        {u"41", 40, 58, CanvasFont::Large, kTextColor, kHexBack2},
        {u"CR", 58, 40, CanvasFont::Large, kTextColor, kAscBack1},  // a name: from the edge
        {u"0D", 58, 58, CanvasFont::Large, kTextColor, kHexBack1},
        {u"\u3042", 80, 40, CanvasFont::Large, kTextColor, kAscBack2},
    });
    EXPECT_TRUE(canvas.TextsEqualTo(u"7").empty());
}

TEST(PaintInputLine, TypingDrawsAtOnceInTheViewBeforeTheAddition) {
    InputLine line;
    for (int i = 0; i < 64; ++i) line.codes[i] = static_cast<char16_t>(i);
    line.length = 64;
    SetEntryMode(line, Notation::Hex);
    RecordingCanvas canvas;
    TypingReport report = TakeTypedText(line, u"4");
    DrawTypedText(canvas, kMetrics, line, report);
    ExpectTexts(canvas, {{u"4", 40 + 18 * 32, 58, CanvasFont::Large, kTextColor, kHexBack2}});
    canvas.ops.clear();
    report = TakeTypedText(line, u"1B");  // 0x41 goes where the view of 64 codes shows it
    DrawTypedText(canvas, kMetrics, line, report);
    ExpectTexts(canvas, {{u"A", 40 + 18 * 32 + 4, 40, CanvasFont::Large, kTextColor, kAscBack2},
                         {u"41", 40 + 18 * 32, 58, CanvasFont::Large, kTextColor, kHexBack2},
                         {u"B", 40 + 18 * 33, 58, CanvasFont::Large, kTextColor, kHexBack1}});

    PixelRect area;
    ASSERT_TRUE(TypingRepaintArea(kMetrics, report, area));
    EXPECT_EQ(area, (PixelRect{40, 24, 42 + 128 * 9, 78}));
    line.length = 5;
    EXPECT_EQ(BackspaceRepaintArea(kMetrics, line), (PixelRect{130, 24, 168, 78}));  // and the held digit's cell
}

TEST(PaintStoredRows, IndexNumbersAndUpTo64Codes) {
    LineEntry rows[3];
    const char16_t first[] = {0x41, 0x42};
    SetLineEntry(rows[0], first, 2);
    std::fill(rows[2].codes, rows[2].codes + 100, u'0');
    rows[2].count = 100;
    RecordingCanvas canvas;
    PaintStoredRows(canvas, kMetrics, rows, kUnderInputLineRows);
    ExpectTexts(canvas, {{u"A", 44, 163, CanvasFont::Large, kTextColor, kAscBack2},
                         {u"42", 58, 181, CanvasFont::Large, kTextColor, kHexBack1},
                         {u"063", 40 + 18 * 63, 152 + 2 * 51, CanvasFont::Small, kTextColor, kTransparent}});
    EXPECT_EQ(canvas.TextsEqualTo(u"000").size(), 2u);  // none for the empty row
    EXPECT_EQ(canvas.TextsEqualTo(u"30").size(), 64u);

    canvas.ops.clear();
    PaintStoredRows(canvas, kMetrics, std::span(rows, 1), kPresetSendRows);
    ExpectTexts(canvas, {{u"A", 40, 42, CanvasFont::Large, kTextColor, kAscBack2},
                         {u"001", 58, 30, CanvasFont::Small, kTextColor, kTransparent}});
}

}  // namespace
