#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sending/line_notation.h"

namespace {

using Codes = std::vector<char16_t>;

Codes Parse(std::u16string_view line, int32_t capacity = 256) {
    Codes codes(size_t(capacity) + 1, u'\uBEEF');
    codes.resize(size_t(ParseLineNotation(line, codes.data(), capacity)));
    return codes;
}

TEST(ParseLineNotation, Rules) {
    const struct {
        std::u16string_view line;
        Codes codes;
    } cases[] = {
        {u"\"AT\"0D0A", {0x41, 0x54, 0x0D, 0x0A}},
        {u"48 65 6c", {0x48, 0x06, 0x05, 0x6C}},             // spaces are pair characters
        {u"4\"AB\"1", {0x41, 0x42, 0x41}},                    // the 4 waits across the quotes
        {u"\"AB\"'X\"Y'", {0x41, 0x42, 0x58, 0x59}},          // a double quote in single quotes is dropped
        {u"4142434", {0x41, 0x42, 0x43}},                     // an open pair at the end is dropped
        {u"-1-F+F", {0xFFFF, 0xFFF1, 0x0F}},                  // a sign, 16 bits kept
        {u"zzG11G", {0x00, 0x00, 0x01}},
        {u"'\u3042\uFFFF'41\"b", {0x3042, 0xFFFF, 0x41, u'b'}},  // an open quote runs to the end
        {u"\"\"''", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(Parse(c.line), c.codes) << std::string(c.line.begin(), c.line.end());
}

TEST(ParseLineNotation, StoresAtMostTheCapacity) {
    EXPECT_EQ(Parse(std::u16string(600, u'7')).size(), 256u);
    EXPECT_EQ(Parse(u"'abcdef'", 3), (Codes{u'a', u'b', u'c'}));
}

TEST(AppendLineNotation, WrittenLinesReadBack) {
    const struct {
        Codes codes;
        std::u16string_view text;
    } cases[] = {
        {{0x41, 0x0D, 0x0A, 0x00, 0x22, 0xab}, u"410D0A0022AB"},
        // Codes of 256 and more have no two-digit form: quoted, a run in one pair of quotes.
        {{0x41, 0x3042, 0x3044, 0x42, 0x100}, u"41\"\u3042\u3044\"42\"\u0100\""},
    };
    for (const auto& c : cases) {
        std::u16string text;
        AppendLineNotation(c.codes.data(), int32_t(c.codes.size()), text);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(Parse(text), c.codes);
    }
}

}  // namespace
