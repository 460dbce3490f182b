#include <gtest/gtest.h>

#include "platform/text.h"

namespace {

struct FormatCase {
    std::u16string_view pattern;
    std::initializer_list<FormatArg> args;
    std::u16string_view expected;
};

TEST(FormatInto, FormatsLikePrintf) {
    const FormatCase cases[] = {
        {u"%d", {-7}, u"-7"},
        {u"%04d", {123}, u"0123"},
        {u"%02X", {0x0D}, u"0D"},
        {u"%02x", {0xAB}, u"ab"},
        {u"%X", {-1}, u"FFFFFFFF"},
        {u"%5d|%-5d|", {42, 42}, u"   42|42   |"},
        {u"%s_Error", {u"connect"}, u"connect_Error"},
        {u"%.3s", {u"abcdef"}, u"abc"},
        {u"%c%c", {u't', u'='}, u"t="},
        {u"100%%", {}, u"100%"},
        {u"%d and %d", {1}, u"1 and 0"},  // a missing argument is 0
        {u"%s", {}, u""},
    };
    for (const FormatCase& c : cases) {
        char16_t out[64];
        size_t n = FormatInto(out, 64, c.pattern, c.args);
        EXPECT_EQ(std::u16string(out), std::u16string(c.expected)) << std::u16string(c.pattern).size();
        EXPECT_EQ(n, c.expected.size());
    }
}

TEST(FormatInto, NeverWritesPastTheBuffer) {
    char16_t out[8];
    std::fill(std::begin(out), std::end(out), u'#');
    size_t n = FormatInto(out, 5, u"%s-%d", {u"abcdef", 12345});
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(std::u16string(out), u"abcd");
    EXPECT_EQ(out[5], u'#');

    char16_t one[1] = {u'#'};
    EXPECT_EQ(FormatInto(one, 1, u"%d", {99}), 0u);
    EXPECT_EQ(one[0], 0);

    char16_t untouched = u'#';
    EXPECT_EQ(FormatInto(&untouched, 0, u"x", {}), 0u);
    EXPECT_EQ(untouched, u'#');
    char16_t wide[16];
    FormatInto(wide, 16, u"%999999999d", {1});  // a huge width is cut to the buffer
    EXPECT_EQ(std::u16string(wide).size(), 15u);
}

TEST(CopyTextInto, CutsWithoutSplittingASurrogatePair) {
    // "a" + U+1F600 (two code units) + "b"
    std::u16string text = u"a\U0001F600b";
    char16_t out[3];
    EXPECT_EQ(CopyTextInto(out, 3, text), 1u);  // the pair does not fit whole
    EXPECT_EQ(std::u16string(out), u"a");
    char16_t wide[4];
    EXPECT_EQ(CopyTextInto(wide, 4, text), 3u);
    EXPECT_EQ(std::u16string(wide), u"a\U0001F600");
    FormatInto(out, 3, u"a%s", {u"\U0001F600"});
    EXPECT_EQ(std::u16string(out), u"a");
}

TEST(LeadingInt, ReadsLeadingDigitsOnly) {
    const struct {
        std::u16string_view text;
        int32_t expected;
    } cases[] = {
        {u"  42", 42}, {u"12abc", 12}, {u"abc", 0}, {u"-5", -5}, {u"+7", 7}, {u"-", 0}, {u"0x10", 0},
        {u"\t9", 9},   {u"4294967297", 1},  // wraps like a 32-bit value
    };
    for (const auto& c : cases) EXPECT_EQ(LeadingInt(c.text), c.expected) << std::u16string(c.text).size();
}

TEST(Utf8, RoundTripsAndRepairsBadBytes) {
    std::u16string text = u"Lanvisor 不明 한국 \U0001F600";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xE3\x81"), u"\uFFFD\uFFFD");  // cut sequence
    EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");  // lone surrogate
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));  // overlong
}

TEST(EqualsIgnoreAsciiCase, FoldsOnlyAscii) {
    EXPECT_TRUE(EqualsIgnoreAsciiCase(u"Lanvisor", u"LANVISOR"));
    EXPECT_FALSE(EqualsIgnoreAsciiCase(u"wsa_ver", u"wsa_ve"));
    EXPECT_FALSE(EqualsIgnoreAsciiCase(u"\u00C4", u"\u00E4"));
}

}  // namespace
