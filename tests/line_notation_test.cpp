#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sending/line_notation.h"

namespace {

using Codes = std::vector<char16_t>;

Codes Parse(std::u16string_view line, int32_t capacity = 256) {
    Codes codes(static_cast<size_t>(capacity) + 1, u'\uBEEF');
    int32_t n = ParseLineNotation(line, codes.data(), capacity);
    EXPECT_EQ(codes[static_cast<size_t>(capacity)], u'\uBEEF') << "wrote past the capacity";
    codes.resize(static_cast<size_t>(n));
    return codes;
}

TEST(ParseHexPair, ReadsLikeWcstolInBase16) {
    const struct {
        char16_t a, b;
        int32_t value;
    } cases[] = {
        {u'4', u'1', 0x41}, {u'f', u'F', 0xFF}, {u'0', u'a', 0x0A}, {u'G', u'1', 0},  {u'1', u'G', 1},
        {u'z', u'z', 0},    {u'-', u'1', -1},   {u'+', u'F', 15},   {u' ', u'F', 15}, {u'\t', u'7', 7},
        {u'F', u' ', 15},   {u' ', u' ', 0},    {u'-', u' ', 0},    {u'+', u'-', 0},  {u'\0', u'4', 0},
        {u'4', u'\0', 4},   {u'\uFF11', u'1', 0},  // a fullwidth digit is no digit
    };
    for (const auto& c : cases) EXPECT_EQ(ParseHexPair(c.a, c.b), c.value) << int(c.a) << "," << int(c.b);
}

TEST(ParseLineNotation, Rules) {
    const struct {
        const char* name;
        std::u16string_view line;
        Codes codes;
    } cases[] = {
        {"quoted text then hex", u"\"AT\"0D0A", {0x41, 0x54, 0x0D, 0x0A}},
        {"spaces are pair characters", u"48 65 6c", {0x48, 0x06, 0x05, 0x6C}},
        {"a held digit waits across quotes", u"4\"AB\"1", {0x41, 0x42, 0x41}},
        {"a double quote inside single quotes is dropped", u"\"AB\"'X\"Y'", {0x41, 0x42, 0x58, 0x59}},
        {"a single quote inside double quotes is dropped", u"\"it's\"", {u'i', u't', u's'}},
        {"an open pair at the end is dropped", u"4142434", {0x41, 0x42, 0x43}},
        {"a minus pair gives 16 bits", u"-1-F", {0xFFFF, 0xFFF1}},
        {"quotes keep characters of any value", u"'\u3042\uFFFF'", {0x3042, 0xFFFF}},
        {"an unclosed quote runs to the end", u"41\"bc", {0x41, u'b', u'c'}},
        {"empty quotes", u"\"\"''", {}},
        {"nothing", u"", {}},
        {"one character", u"4", {}},
        {"garbage pairs read as far as they go", u"zz1x", {0x00, 0x01}},
        {"upper and lower case", u"aBcD", {0xAB, 0xCD}},
    };
    for (const auto& c : cases) EXPECT_EQ(Parse(c.line), c.codes) << c.name;
}

TEST(ParseLineNotation, StoresNoMoreThanTheCapacity) {
    std::u16string line(600, u'7');
    Codes codes = Parse(line);
    ASSERT_EQ(codes.size(), 256u);
    EXPECT_EQ(codes.back(), 0x77);
    EXPECT_EQ(Parse(u"'abcdef'", 3), (Codes{u'a', u'b', u'c'}));
    EXPECT_EQ(Parse(u"4142", 0), Codes{});
}

TEST(AppendLineNotation, HexPairsAndQuotedRunsAbove255) {
    const struct {
        const char* name;
        Codes codes;
        std::u16string_view text;
    } cases[] = {
        {"hex pairs in upper case", {0x41, 0x0D, 0x0A, 0x00, 0xFF, 0xab}, u"410D0A00FFAB"},
        {"a code of 256 or more is quoted", {0x41, 0x3042, 0x42}, u"41\"\u3042\"42"},
        {"a run shares its quotes", {0x3042, 0x3044, 0x100}, u"\"\u3042\u3044\u0100\""},
        {"runs apart are quoted apart", {0x100, 0x20, 0x101}, u"\"\u0100\"20\"\u0101\""},
        {"nothing", {}, u""},
    };
    for (const auto& c : cases) {
        std::u16string text;
        AppendLineNotation(c.codes.data(), int32_t(c.codes.size()), text);
        EXPECT_EQ(text, c.text) << c.name;
        EXPECT_EQ(Parse(text), c.codes) << c.name << ": read back";
    }
}

}  // namespace
