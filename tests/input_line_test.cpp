#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/code_page.h"
#include "sending/input_line.h"

namespace {

using Codes = std::vector<char16_t>;

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
        {"4 alone is held", {u"H", u"4"}, {}, u'4'},
        {"4, 1, 4 in one release", {u"H", u"414"}, {0x41}, u'4'},
        {"minus then 1", {u"H", u"-", u"1"}, {0xFF}, 0},
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
    } cases[] = {
        {255, kAscEntry, u"abc", 256, kAscEntry},
        {255, kHexEntry, u"4142", 256, kHexEntry},       // the second pair is dropped
        {255, kHexEntry, u"414", 256, kHexDigitPending},  // a digit is still held
        {256, kHexEntry, u"4", 256, kHexEntry},           // a full line takes nothing
    };
    for (const auto& c : cases) {
        InputLine line = LineOf(c.length, c.mode);
        TakeTypedText(line, c.text);
        EXPECT_EQ(line.length, c.lengthAfter) << c.length << " " << c.mode;
        EXPECT_EQ(line.entryMode, c.modeAfter) << c.length << " " << c.mode;
    }
}

TEST(TakeTypedText, ReportsWhatToRepaint) {
    const struct {
        int32_t length, mode;
        std::u16string text;
        bool whole;
        int32_t firstCell, lastCell;
    } cases[] = {
        {0, kAscEntry, u"A", false, -1, -1},  // the first code is only drawn
        {31, kAscEntry, u"A", false, 31, 31},
        {32, kAscEntry, u"A", true, -1, -1},
        {7, kHexEntry, u"4", false, -1, -1},  // a held digit is only drawn
        {7, kHexEntry, u"41", false, 7, 7},
    };
    for (const auto& c : cases) {
        InputLine line = LineOf(c.length, c.mode);
        TypingReport r = TakeTypedText(line, c.text);
        EXPECT_EQ((std::vector<int>{r.repaintWhole, r.repaintFirstCell, r.repaintLastCell}),
                  (std::vector<int>{c.whole, c.firstCell, c.lastCell}))
            << c.length << " " << std::string(c.text.begin(), c.text.end());
    }
}

TEST(InputLineView, FollowsTheEndAndScrollsForOneRepaint) {
    const int32_t views[][2] = {{63, 0}, {64, 32}, {95, 32}, {96, 64}, {223, 160}, {224, 192}, {256, 192}};
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
    line.viewStart = 0;
    ScrollView(line, ScrollDirection::Back);
    EXPECT_EQ(TakeViewStart(line), 0);
}

TEST(ConvertLineToBytes, OneBytePerCode) {
    const char16_t codes[] = {0x41, 0x00, 0xFF, 0x3042, 0x20AC, 0x42};
    uint8_t bytes[kLineCodes];
    ASSERT_EQ(ConvertLineToBytes(codes, 6, bytes), 6);
    EXPECT_EQ(bytes[2], 0xFF);
    EXPECT_EQ(bytes[5], 0x42);
    for (int i : {3, 4}) {
        // The code page's single byte, or 0 where the character takes more.
        std::string ansi = Utf16ToAnsiNoBestFit(std::u16string_view(&codes[i], 1));
        EXPECT_EQ(bytes[i], ansi.size() == 1 ? uint8_t(ansi[0]) : 0) << i;
    }
    EXPECT_EQ(ConvertLineToBytes(codes, 0, bytes), 0);
}

}  // namespace
