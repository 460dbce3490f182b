#include <gtest/gtest.h>

#include <string>

#include "appearance/color_scheme.h"
#include "platform/text.h"
#include "sending/input_line_drawing.h"
#include "shell/app_settings.h"
#include "shell/text_table.h"

namespace {

using Op = RecordingCanvas::Op;
using Kind = RecordingCanvas::Kind;

// sh 10, cw 9, ch 18: cells 18 x 18 pixels, stored rows 51 pixels apart.
constexpr InputLineMetrics kMetrics{10, 9, 18};

int CellX(int column) { return 40 + 18 * column; }

struct ExpectedText {
    std::u16string_view text;
    int x, y;
    CanvasFont font;
    int slot, backSlot;
};

class InputLineDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedTexts = g_Texts;
        CopyTextInto(g_Texts.Texts[67][g_Settings.Language], u"ASC");
        CopyTextInto(g_Texts.Texts[68][g_Settings.Language], u"HEX");
    }
    void TearDown() override { g_Texts = savedTexts; }

    // The one text operation with this text.
    Op Only(std::u16string_view text) {
        auto found = canvas.TextsEqualTo(text);
        EXPECT_EQ(found.size(), 1u) << std::string(text.begin(), text.end());
        return found.empty() ? Op{} : found.front();
    }
    void ExpectTexts(const std::vector<ExpectedText>& expected) {
        for (const auto& e : expected) {
            Op op = Only(e.text);
            std::string name(e.text.begin(), e.text.end());
            EXPECT_EQ(op.x, e.x) << name;
            EXPECT_EQ(op.y, e.y) << name;
            EXPECT_EQ(op.font, e.font) << name;
            EXPECT_EQ(op.slot, e.slot) << name;
            EXPECT_EQ(op.backSlot, e.backSlot) << name;
        }
    }
    std::vector<Op> Rects() const {
        std::vector<Op> rects;
        for (const Op& op : canvas.ops)
            if (op.kind == Kind::Rect) rects.push_back(op);
        return rects;
    }

    TextTable savedTexts;
    RecordingCanvas canvas;
};

TEST_F(InputLineDrawingTest, FullRepaintOfAShortLine) {
    InputLine line;
    const char16_t codes[] = {0x41, 0x0D, 0x3042};
    std::copy(codes, codes + 3, line.codes);
    line.length = 3;
    SetEntryMode(line, Notation::Hex);
    PaintInputLine(canvas, kMetrics, line, u"Type here", kAscHexText);

    // 64 columns of two frames in the colors of their cells.
    auto rects = Rects();
    ASSERT_EQ(rects.size(), 128u);
    const struct {
        size_t index;
        int left, top, right, bottom, slot;
    } frames[] = {
        {0, 40, 40, 58, 58, kAscBack2}, {1, 40, 58, 58, 76, kHexBack2},
        {2, 58, 40, 76, 58, kAscBack1}, {3, 58, 58, 76, 76, kHexBack1},
        {127, CellX(63), 58, CellX(64), 76, kHexBack1},
    };
    for (const auto& f : frames) {
        const Op& r = rects[f.index];
        EXPECT_EQ((std::vector<int>{r.x, r.y, r.x2, r.y2, r.slot}),
                  (std::vector<int>{f.left, f.top, f.right, f.bottom, f.slot}))
            << f.index;
    }
    ExpectTexts({
        {u"Type here", 40, 5, CanvasFont::Large, kTextColor, kTransparent},
        // The current notation's label on its highlight, both in the label color.
        {u"ASC", 0, 45, CanvasFont::Small, kAscHexText, kTransparent},
        {u"HEX", 0, 65, CanvasFont::Small, kAscHexText, kAscHexBack},
        {u"000", 40, 25, CanvasFont::Small, kTextColor, kTransparent},
        {u"063", CellX(63), 25, CanvasFont::Small, kTextColor, kTransparent},
        // One character centred, two-letter names from the cell's edge.
        {u"A", 44, 40, CanvasFont::Large, kTextColor, kAscBack2},
        {u"41", 40, 58, CanvasFont::Large, kTextColor, kHexBack2},
        {u"CR", 58, 40, CanvasFont::Large, kTextColor, kAscBack1},
        {u"0D", 58, 58, CanvasFont::Large, kTextColor, kHexBack1},
        {u"\u3042", 80, 40, CanvasFont::Large, kTextColor, kAscBack2},
    });
    EXPECT_TRUE(canvas.TextsEqualTo(u"064").empty());
}

TEST_F(InputLineDrawingTest, ALongLineShowsItsEndAndPendingDigitsAreNotRepainted) {
    InputLine line;
    for (int i = 0; i < 100; ++i) line.codes[i] = static_cast<char16_t>(i);
    line.length = 100;
    SetEntryMode(line, Notation::Hex);
    TakeTypedText(line, u"7");
    PaintInputLine(canvas, kMetrics, line, u"", kTextColor);
    ExpectTexts({
        {u"ASC", 0, 45, CanvasFont::Small, kTextColor, kTransparent},
        {u"064", 40, 25, CanvasFont::Small, kTextColor, kTransparent},
        {u"127", CellX(63), 25, CanvasFont::Small, kTextColor, kTransparent},
        {u"40", 40, 58, CanvasFont::Large, kTextColor, kHexBack2},   // code 64 in the first cell
        {u"63", CellX(35), 58, CanvasFont::Large, kTextColor, kHexBack1},  // code 99, the last
    });
    EXPECT_TRUE(canvas.TextsEqualTo(u"7").empty());
    EXPECT_EQ(line.viewStart, 64);
}

TEST_F(InputLineDrawingTest, TypingDrawsTheNewCellAndALoneDigitAtOnce) {
    InputLine line;
    SetEntryMode(line, Notation::Hex);
    TypingReport report = TakeTypedText(line, u"4");
    DrawTypedText(canvas, kMetrics, line, report);
    ASSERT_EQ(canvas.ops.size(), 1u);
    ExpectTexts({{u"4", 40, 58, CanvasFont::Large, kTextColor, kHexBack2}});

    canvas.ops.clear();
    report = TakeTypedText(line, u"1");
    DrawTypedText(canvas, kMetrics, line, report);
    ASSERT_EQ(canvas.ops.size(), 2u);
    ExpectTexts({{u"A", 44, 40, CanvasFont::Large, kTextColor, kAscBack2},
                 {u"41", 40, 58, CanvasFont::Large, kTextColor, kHexBack2}});

    // The 65th code is drawn in the view of a 64-code line, which starts at 32.
    InputLine longLine;
    for (int i = 0; i < 64; ++i) longLine.codes[i] = u'x';
    longLine.length = 64;
    canvas.ops.clear();
    report = TakeTypedText(longLine, u"BC");
    DrawTypedText(canvas, kMetrics, longLine, report);
    ExpectTexts({{u"B", CellX(32) + 4, 40, CanvasFont::Large, kTextColor, kAscBack2},
                 {u"C", CellX(33) + 4, 40, CanvasFont::Large, kTextColor, kAscBack1}});
}

TEST_F(InputLineDrawingTest, RepaintAreas) {
    // The whole area: x 40 .. 42 + 128 cw, y 24 .. 42 + 2 ch.
    EXPECT_EQ(WholeLineArea(kMetrics), (PixelRect{40, 24, 1194, 78}));
    EXPECT_EQ(LineCellsArea(kMetrics, 5, 5), (PixelRect{130, 24, 150, 78}));

    const struct {
        const char* name;
        int32_t lengthAfter;
        bool pending;
        PixelRect area;
    } backspaces[] = {
        {"the removed code's cell", 5, false, {130, 24, 150, 78}},
        {"and the cell where a held digit was drawn", 5, true, {130, 24, 168, 78}},
        {"an empty line", 0, false, {40, 24, 60, 78}},
        {"32 codes left: the whole area", 32, false, {40, 24, 1194, 78}},
    };
    for (const auto& b : backspaces) {
        InputLine line;
        line.length = b.lengthAfter;
        line.entryMode = b.pending ? kHexDigitPending : kHexEntry;
        EXPECT_EQ(BackspaceRepaintArea(kMetrics, line), b.area) << b.name;
    }

    PixelRect area;
    TypingReport cells;
    cells.repaintFirstCell = 3;
    cells.repaintLastCell = 5;
    ASSERT_TRUE(TypingRepaintArea(kMetrics, cells, area));
    EXPECT_EQ(area, (PixelRect{94, 24, 150, 78}));
    TypingReport whole;
    whole.repaintWhole = true;
    ASSERT_TRUE(TypingRepaintArea(kMetrics, whole, area));
    EXPECT_EQ(area, WholeLineArea(kMetrics));
    EXPECT_FALSE(TypingRepaintArea(kMetrics, TypingReport{}, area));
}

TEST_F(InputLineDrawingTest, StoredRowsUnderTheInputLine) {
    LineEntry rows[3];
    const char16_t first[] = {0x41, 0x42};
    SetLineEntry(rows[0], first, 2);
    for (int i = 0; i < 100; ++i) rows[2].codes[i] = 0x30;
    rows[2].count = 100;
    PaintStoredRows(canvas, kMetrics, rows, kUnderInputLineRows);

    auto rects = Rects();
    ASSERT_EQ(rects.size(), 3u * 128);
    EXPECT_EQ(rects[128].y, 163 + 51);  // the second row's character row
    EXPECT_EQ(rects[129].y, 163 + 51 + 18);
    ExpectTexts({
        {u"A", 44, 163, CanvasFont::Large, kTextColor, kAscBack2},
        {u"B", 62, 163, CanvasFont::Large, kTextColor, kAscBack1},
        {u"42", 58, 181, CanvasFont::Large, kTextColor, kHexBack1},
    });
    // Index numbers for the codes a row holds, 64 at most; none for an empty row.
    auto zeros = canvas.TextsEqualTo(u"000");
    ASSERT_EQ(zeros.size(), 2u);
    EXPECT_EQ(zeros[0].y, 152);
    EXPECT_EQ(zeros[1].y, 152 + 2 * 51);
    EXPECT_EQ(canvas.TextsEqualTo(u"063").size(), 1u);
    EXPECT_TRUE(canvas.TextsEqualTo(u"064").empty());
    EXPECT_EQ(canvas.TextsEqualTo(u"30").size(), 64u);
}

TEST_F(InputLineDrawingTest, PresetSendRowsDrawSingleCharactersFromTheCellEdge) {
    LineEntry rows[2];
    const char16_t line[] = {0x41};
    SetLineEntry(rows[1], line, 1);
    PaintStoredRows(canvas, kMetrics, rows, kPresetSendRows);
    ExpectTexts({
        {u"000", 40, 30 + 51, CanvasFont::Small, kTextColor, kTransparent},
        {u"A", 40, 42 + 51, CanvasFont::Large, kTextColor, kAscBack2},
        {u"41", 40, 42 + 51 + 18, CanvasFont::Large, kTextColor, kHexBack2},
    });
}

}  // namespace
