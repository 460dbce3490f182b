#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/code_page.h"
#include "sending/input_line.h"

namespace {

using Codes = std::vector<char16_t>;

Codes CodesOf(const InputLine& line) { return Codes(line.codes, line.codes + line.length); }

// A line with n codes, all 'x'.
InputLine LineOf(int32_t n, EntryMode mode = kAscEntry) {
    InputLine line;
    for (int32_t i = 0; i < n; ++i) line.codes[i] = u'x';
    line.length = n;
    line.entryMode = mode;
    return line;
}

TEST(TakeTypedText, HexPairsOverKeyReleases) {
    const struct {
        const char* name;
        std::vector<std::u16string> releases;
        Codes codes;
        char16_t pending;  // 0: none
    } cases[] = {
        {"4 then 1", {u"4", u"1"}, {0x41}, 0},
        {"4 alone waits", {u"4"}, {}, u'4'},
        {"4, 1, 4 in one release", {u"414"}, {0x41}, u'4'},
        {"the held 4 pairs with the next release", {u"414", u"2"}, {0x41, 0x42}, 0},
        {"0 then a", {u"0", u"a"}, {0x0A}, 0},
        {"0 then A", {u"0A"}, {0x0A}, 0},
        {"z z: no digits", {u"z", u"z"}, {0x00}, 0},
        {"G 1: no digit before the G", {u"G1"}, {0x00}, 0},
        {"1 G: the 1 alone", {u"1G"}, {0x01}, 0},
        {"minus then 1", {u"-", u"1"}, {0xFF}, 0},
        {"minus then F", {u"-F"}, {0xF1}, 0},
        {"space then F", {u" F"}, {0x0F}, 0},
        {"plus then F", {u"+F"}, {0x0F}, 0},
        {"F then space", {u"F "}, {0x0F}, 0},
        {"lower case", {u"ff", u"c3"}, {0xFF, 0xC3}, 0},
    };
    for (const auto& c : cases) {
        InputLine line;
        SetEntryMode(line, Notation::Hex);
        for (const auto& text : c.releases) TakeTypedText(line, text);
        EXPECT_EQ(CodesOf(line), c.codes) << c.name;
        EXPECT_EQ(line.entryMode, c.pending ? kHexDigitPending : kHexEntry) << c.name;
        EXPECT_EQ(line.pendingDigits[0], c.pending) << c.name;
        EXPECT_EQ(line.pendingDigits[1], 0) << c.name;
    }
}

TEST(TakeTypedText, AscTakesEveryCharacterAsOneCode) {
    InputLine line;
    TakeTypedText(line, u"A ");
    TakeTypedText(line, u"\u3042\uFFFF");  // committed input-method text
    EXPECT_EQ(CodesOf(line), (Codes{0x41, 0x20, 0x3042, 0xFFFF}));
    EXPECT_EQ(line.entryMode, kAscEntry);
}

TEST(TakeTypedText, SwitchingNotationDropsAPendingDigit) {
    InputLine line;
    SetEntryMode(line, Notation::Hex);
    TakeTypedText(line, u"4");
    SetEntryMode(line, Notation::Asc);
    SetEntryMode(line, Notation::Hex);
    TakeTypedText(line, u"1");
    EXPECT_EQ(line.entryMode, kHexDigitPending);
    TakeTypedText(line, u"2");
    EXPECT_EQ(CodesOf(line), Codes{0x12});
    // Switching never converts what is there.
    SetEntryMode(line, Notation::Asc);
    TakeTypedText(line, u"7");
    EXPECT_EQ(CodesOf(line), (Codes{0x12, u'7'}));
}

TEST(TakeTypedText, BackspaceAndClearKeepAPendingDigit) {
    InputLine line;
    SetEntryMode(line, Notation::Hex);
    TakeTypedText(line, u"41424");
    DeleteLastCode(line);
    EXPECT_EQ(CodesOf(line), Codes{0x41});
    EXPECT_EQ(line.codes[1], 0);
    TakeTypedText(line, u"3");
    EXPECT_EQ(CodesOf(line), (Codes{0x41, 0x43}));

    TakeTypedText(line, u"F");
    ClearInputLine(line);
    EXPECT_EQ(line.length, 0);
    EXPECT_EQ(line.codes[0], 0);
    EXPECT_EQ(line.codes[1], 0);
    TakeTypedText(line, u"F");
    EXPECT_EQ(CodesOf(line), Codes{0xFF});

    InputLine empty;
    DeleteLastCode(empty);
    EXPECT_EQ(empty.length, 0);
}

TEST(TakeTypedText, TheLineHoldsAt256Codes) {
    const struct {
        const char* name;
        int32_t length;
        EntryMode mode;
        std::u16string text;
        int32_t newCodes;
        EntryMode modeAfter;
    } cases[] = {
        {"ASC: one more fits, the rest is dropped", 255, kAscEntry, u"abc", 1, kAscEntry},
        {"ASC: a full line takes nothing", 256, kAscEntry, u"a", 0, kAscEntry},
        {"HEX: a pair that finds the line full is dropped", 255, kHexEntry, u"4142", 1, kHexEntry},
        {"HEX: a digit can still be held", 255, kHexEntry, u"414", 1, kHexDigitPending},
        {"HEX: a full line takes nothing, not even a digit", 256, kHexEntry, u"4", 0, kHexEntry},
    };
    for (const auto& c : cases) {
        InputLine line = LineOf(c.length, c.mode);
        TypingReport report = TakeTypedText(line, c.text);
        EXPECT_EQ(report.newCodes, c.newCodes) << c.name;
        EXPECT_EQ(line.length, std::min(c.length + c.newCodes, kLineCodes)) << c.name;
        EXPECT_EQ(line.entryMode, c.modeAfter) << c.name;
    }
    InputLine full = LineOf(255);
    TakeTypedText(full, u"yz");
    EXPECT_EQ(full.codes[255], u'y');
}

TEST(TakeTypedText, ReportsWhatToDrawAndRepaint) {
    const struct {
        const char* name;
        int32_t length;
        EntryMode mode;
        std::u16string text;
        bool pendingShown, whole;
        int32_t firstCell, lastCell;
    } cases[] = {
        {"the first code of a line is only drawn", 0, kAscEntry, u"A", false, false, -1, -1},
        {"a later code: its cell", 5, kAscEntry, u"A", false, false, 5, 5},
        {"three codes: their cells", 3, kAscEntry, u"XYZ", false, false, 3, 5},
        {"31 codes before: still its cell", 31, kAscEntry, u"A", false, false, 31, 31},
        {"32 codes before: the whole area", 32, kAscEntry, u"A", false, true, -1, -1},
        {"a digit held: only drawn", 7, kHexEntry, u"4", true, false, -1, -1},
        {"a completed pair: its cell", 7, kHexDigitPending, u"1", false, false, 7, 7},
        {"the pair completing an empty line", 0, kHexDigitPending, u"1", false, false, -1, -1},
        {"nothing typed", 7, kAscEntry, u"", false, false, -1, -1},
    };
    for (const auto& c : cases) {
        InputLine line = LineOf(c.length, c.mode);
        line.pendingDigits[0] = c.mode == kHexDigitPending ? u'4' : 0;
        TypingReport report = TakeTypedText(line, c.text);
        EXPECT_EQ(report.firstNewCode, c.length) << c.name;
        EXPECT_EQ(report.pendingDigitShown, c.pendingShown) << c.name;
        EXPECT_EQ(report.repaintWhole, c.whole) << c.name;
        EXPECT_EQ(report.repaintFirstCell, c.firstCell) << c.name;
        EXPECT_EQ(report.repaintLastCell, c.lastCell) << c.name;
    }
}

TEST(InputLineView, FollowsTheEndInStepsOf32) {
    const struct {
        int32_t length, view;
    } cases[] = {{0, 0},     {63, 0},    {64, 32},   {95, 32},   {96, 64},   {127, 64},
                 {128, 96},  {223, 160}, {224, 192}, {240, 192}, {255, 192}, {256, 192}};
    for (const auto& c : cases) {
        EXPECT_EQ(AutomaticViewStart(c.length), c.view) << c.length;
        InputLine line = LineOf(c.length);
        EXPECT_EQ(TakeViewStart(line), c.view) << c.length;
    }
}

TEST(InputLineView, AScrolledViewHoldsForOneRepaint) {
    InputLine line = LineOf(100);
    EXPECT_EQ(TakeViewStart(line), 64);
    ScrollView(line, ScrollDirection::Back);
    EXPECT_EQ(TakeViewStart(line), 32);
    EXPECT_EQ(line.viewPinned, 0);
    EXPECT_EQ(TakeViewStart(line), 64);

    const struct {
        int32_t from;
        ScrollDirection direction;
        int32_t to;
    } steps[] = {{0, ScrollDirection::Back, 0},       {32, ScrollDirection::Back, 0},
                 {160, ScrollDirection::Forward, 192}, {192, ScrollDirection::Forward, 192},
                 {0, ScrollDirection::Forward, 32}};
    for (const auto& s : steps) {
        line.viewStart = s.from;
        ScrollView(line, s.direction);
        EXPECT_EQ(line.viewStart, s.to) << s.from;
        EXPECT_EQ(line.viewPinned, 1);
    }
}

TEST(InputLine, OpeningADialogResetsTheNotationAndViewOnly) {
    InputLine line = LineOf(80, kHexDigitPending);
    line.viewStart = 32;
    line.viewPinned = 1;
    ResetEntryState(line);
    EXPECT_EQ(line.entryMode, kAscEntry);
    EXPECT_EQ(line.viewStart, 0);
    EXPECT_EQ(line.viewPinned, 0);
    EXPECT_EQ(line.length, 80);
}

TEST(ConvertLineToBytes, OneBytePerCode) {
    const char16_t codes[] = {0x41, 0x00, 0xFF, 0x3042, 0x20AC, 0x100, 0x42};
    uint8_t bytes[kLineCodes];
    ASSERT_EQ(ConvertLineToBytes(codes, 7, bytes), 7);
    EXPECT_EQ(bytes[0], 0x41);
    EXPECT_EQ(bytes[1], 0x00);
    EXPECT_EQ(bytes[2], 0xFF);
    EXPECT_EQ(bytes[3], CodeToAnsiByte(0x3042));
    EXPECT_EQ(bytes[4], CodeToAnsiByte(0x20AC));
    EXPECT_EQ(bytes[5], CodeToAnsiByte(0x100));
    EXPECT_EQ(bytes[6], 0x42);
    EXPECT_EQ(ConvertLineToBytes(codes, 0, bytes), 0);
    EXPECT_EQ(ConvertLineToBytes(codes, -3, bytes), 0);
    InputLine full = LineOf(256);
    EXPECT_EQ(ConvertLineToBytes(full.codes, 300, bytes), 256);
}

TEST(CodeToAnsiByte, OneByteOfTheCodePageOrZero) {
    for (char16_t code : {char16_t(0x41), char16_t(0xE9), char16_t(0x20AC), char16_t(0x3042), char16_t(0xD800)}) {
        std::string ansi = Utf16ToAnsiNoBestFit(std::u16string_view(&code, 1));
#ifdef _WIN32
        uint8_t expected = ansi.size() == 1 ? static_cast<uint8_t>(ansi[0]) : 0;
#else
        uint8_t expected = code < 0x80 ? static_cast<uint8_t>(code) : 0;  // UTF-8
#endif
        EXPECT_EQ(CodeToAnsiByte(code), expected) << int(code);
    }
}

TEST(CellTexts, CharacterOverTwoHexDigits) {
    const struct {
        char16_t code;
        std::u16string_view character, hex;
    } cases[] = {
        {0x41, u"A", u"41"},   {0x20, u"SP", u"20"},  {0x00, u"NL", u"00"},     {0x0D, u"CR", u"0D"},
        {0x7F, u"DL", u"7F"},  {0x7E, u"~", u"7E"},   {0xFF, u"\u00FF", u"FF"}, {0xA0, u"\u00A0", u"A0"},
        // Beyond 255 the first "digit" stands for bits 4 and up: '0' + 0x304 + 7.
        {0x3042, u"\u3042", u"\u033B2"},
    };
    for (const auto& c : cases) {
        CellTexts t = CellTextsOf(c.code);
        EXPECT_EQ(std::u16string_view(t.character, t.characterLength), c.character) << int(c.code);
        EXPECT_EQ(std::u16string_view(t.hex, 2), c.hex) << int(c.code);
    }
    const char16_t run[] = {0x41, 0x0D, 0x0A, 0x42};
    LineCellTexts texts;
    BuildCellTexts(run, 4, texts);
    EXPECT_EQ(std::u16string_view(texts.characters, texts.characterCount), u"ACRLFB");
    EXPECT_EQ(std::u16string_view(texts.hex, texts.hexCount), u"410D0A42");
}

}  // namespace
