#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "appearance/color_scheme.h"
#include "platform/text.h"
#include "sending/input_line.h"
#include "sending/input_line_drawing.h"
#include "support/program_texts.h"
#include "support/recording_canvas.h"

namespace {

using Codes = std::vector<char16_t>;
using Op = RecordingCanvas::Op;

Codes CodesOf(const InputLine& line) { return Codes(line.codes, line.codes + line.length); }

InputLine LineOf(int32_t n, int32_t mode = kAscEntry) {
    InputLine line;
    std::fill(line.codes, line.codes + n, u'x');
    line.length = n;
    line.entryMode = mode;
    return line;
}

// Each step is a key release with its text, or "<" Backspace, "A" ASC, "H" HEX.
void RunSteps(InputLine& line, const std::vector<std::u16string>& steps) {
    for (const auto& s : steps) {
        if (s == u"<") DeleteLastCode(line);
        else if (s == u"A") SetEntryMode(line, Notation::Asc);
        else if (s == u"H") SetEntryMode(line, Notation::Hex);
        else TakeTypedText(line, s);
    }
}

TEST(TakeTypedText, Notations) {
    const struct {
        const char* name;
        std::vector<std::u16string> steps;
        Codes codes;
        char16_t pending;  // 0: none
    } cases[] = {
        {"4, 1, 4 in one release", {u"H", u"414"}, {0x41}, u'4'},
        {"G 1, 1 G, space F, 0 a", {u"H", u"G11G F0a"}, {0x00, 0x01, 0x0F, 0x0A}, 0},
        {"switching drops a held digit", {u"H", u"4", u"A", u"H", u"12"}, {0x12}, 0},
        {"Backspace keeps a held digit", {u"H", u"41424", u"<", u"3"}, {0x41, 0x43}, 0},
        {"ASC: every character, input-method text too", {u"A\u3042 "}, {0x41, 0x3042, 0x20}, 0},
        {"switching keeps the codes", {u"H", u"41", u"A", u"7"}, {0x41, u'7'}, 0},
    };
    for (const auto& c : cases) {
        InputLine line;
        RunSteps(line, c.steps);
        EXPECT_EQ(CodesOf(line), c.codes) << c.name;
        EXPECT_EQ(line.pendingDigits[0], c.pending) << c.name;
        EXPECT_EQ(line.entryMode == kHexDigitPending, c.pending != 0) << c.name;
    }
}

TEST(TakeTypedText, TheLineHoldsAt256Codes) {
    const struct {
        int32_t length, mode;
        std::u16string text;
        int32_t lengthAfter, modeAfter;
    } full[] = {
        {255, kHexEntry, u"4142", 256, kHexEntry},       // the second pair is dropped
        {255, kHexEntry, u"414", 256, kHexDigitPending},  // a digit is still held
        {256, kHexEntry, u"4", 256, kHexEntry},           // a full line takes nothing
    };
    for (const auto& c : full) {
        InputLine line = LineOf(c.length, c.mode);
        TakeTypedText(line, c.text);
        EXPECT_EQ(line.length, c.lengthAfter) << c.length << " " << c.mode;
        EXPECT_EQ(line.entryMode, c.modeAfter) << c.length << " " << c.mode;
    }
}

TEST(InputLineView, FollowsTheEndAndScrollsForOneRepaint) {
    const int32_t views[][2] = {{63, 0}, {64, 32}, {95, 32}, {224, 192}, {256, 192}};
    for (const auto& v : views) {
        InputLine line = LineOf(v[0]);
        EXPECT_EQ(TakeViewStart(line), v[1]) << v[0];
    }
    InputLine line = LineOf(100);
    EXPECT_EQ(TakeViewStart(line), 64);
    ScrollView(line, ScrollDirection::Back);
    EXPECT_EQ(TakeViewStart(line), 32);
    EXPECT_EQ(TakeViewStart(line), 64);
    line.viewStart = 192;
    ScrollView(line, ScrollDirection::Forward);
    EXPECT_EQ(TakeViewStart(line), 192);
    RecordingCanvas canvas;  // painted, the view follows the end again; its cells carry their codes' numbers
    ProgramTexts labels{kEnglish, {{kTextAsc, u"ASC"}, {kTextHex, u"HEX"}}};
    PaintInputLine(canvas, InputLineMetrics{10, 9, 18}, line, u"", 0);
    auto numbered = [&](std::u16string_view n) { return std::ranges::count(canvas.ops, n, &RecordingCanvas::Op::text); };
    EXPECT_EQ(std::vector<int64_t>({numbered(u"063"), numbered(u"064"), numbered(u"127"), numbered(u"128")}),
              std::vector<int64_t>({0, 1, 1, 0}));
    std::vector<int> backs;  // 64 framed cells, alternating from the second color; the mode in use is marked
    for (const Op& op : canvas.ops)
        if (op.kind == RecordingCanvas::Kind::Rect) backs.push_back(op.slot);
    ASSERT_EQ(backs.size(), 128u);
    EXPECT_EQ(std::vector<int>(backs.begin(), backs.begin() + 4), (std::vector<int>{kAscBack2, kHexBack2, kAscBack1, kHexBack1}));
    EXPECT_EQ(canvas.TextsEqualTo(u"ASC").at(0).backSlot, kAscHexBack);
    EXPECT_EQ(canvas.TextsEqualTo(u"HEX").at(0).backSlot, kTransparent);
}

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
    // Below 32 codes (the view cannot move) only the new codes' cells are
    // repainted; the first code, drawn at once, needs nothing.
    InputLine fresh;
    EXPECT_FALSE(TypingRepaintArea(kMetrics, TakeTypedText(fresh, u"A"), area));
    ASSERT_TRUE(TypingRepaintArea(kMetrics, TakeTypedText(fresh, u"BC"), area));
    EXPECT_EQ(area, (PixelRect{58, 24, 96, 78}));
    TakeTypedText(fresh, std::u16string(29, u'x'));
    ASSERT_TRUE(TypingRepaintArea(kMetrics, TakeTypedText(fresh, u"D"), area));
    EXPECT_EQ(area, (PixelRect{40, 24, 42 + 128 * 9, 78}));
    line.length = 5;
    EXPECT_EQ(BackspaceRepaintArea(kMetrics, line), (PixelRect{130, 24, 168, 78}));  // and the held digit's cell
    line.length = 32;  // the view may move
    EXPECT_EQ(BackspaceRepaintArea(kMetrics, line), (PixelRect{40, 24, 42 + 128 * 9, 78}));
}

TEST(PaintStoredRows, IndexNumbersAndUpTo64Codes) {
    LineEntry rows[3];
    const char16_t first[] = {0x41, 0x42, 0x0D};
    SetLineEntry(rows[0], first, 3);
    std::fill(rows[2].codes, rows[2].codes + 100, u'0');
    rows[2].count = 100;
    RecordingCanvas canvas;
    PaintStoredRows(canvas, kMetrics, rows, kUnderInputLineRows);
    ExpectTexts(canvas, {{u"A", 44, 163, CanvasFont::Large, kTextColor, kAscBack2},
                         {u"42", 58, 181, CanvasFont::Large, kTextColor, kHexBack1},
                         {u"CR", 40 + 18 * 2, 163, CanvasFont::Large, kTextColor, kAscBack2},  // a name: not centred
                         {u"063", 40 + 18 * 63, 152 + 2 * 51, CanvasFont::Small, kTextColor, kTransparent}});
    EXPECT_EQ(canvas.TextsEqualTo(u"000").size(), 2u);  // none for the empty row
    EXPECT_EQ(canvas.TextsEqualTo(u"30").size(), 64u);
    EXPECT_EQ(std::ranges::count(canvas.ops, RecordingCanvas::Kind::Rect, &Op::kind), 3 * 128);  // every row framed
}

}  // namespace
