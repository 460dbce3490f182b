#include <gtest/gtest.h>

#include "platform/text.h"
#include "platform/text_file.h"

namespace {

TEST(FormatInto, FormatsLikePrintf) {
    const struct {
        std::u16string_view pattern;
        std::initializer_list<FormatArg> args;
        std::u16string_view expected;
    } cases[] = {
        {u"%d|%04d", {-7, 123}, u"-7|0123"},
        {u"%02X|%02x|%X", {0x0D, 0xAB, -1}, u"0D|ab|FFFFFFFF"},
        {u"%5d|%-5d|", {42, 42}, u"   42|42   |"},
        {u"%s_Error|%.3s", {u"connect", u"abcdef"}, u"connect_Error|abc"},
        {u"%c%c 100%%", {u't', u'='}, u"t= 100%"},
        {u"%d and %d%s", {1}, u"1 and 0"},  // a missing argument is 0 or empty
    };
    for (const auto& c : cases) {
        char16_t out[64];
        size_t n = FormatInto(out, 64, c.pattern, c.args);
        EXPECT_EQ(std::u16string(out), std::u16string(c.expected)) << std::u16string(c.pattern).size();
        EXPECT_EQ(n, c.expected.size());
    }
}

TEST(FormatInto, NeverWritesPastTheBuffer) {
    char16_t out[8];
    std::fill(std::begin(out), std::end(out), u'#');
    EXPECT_EQ(FormatInto(out, 5, u"%s-%d", {u"abcdef", 12345}), 4u);
    EXPECT_EQ(std::u16string(out), u"abcd");
    EXPECT_EQ(out[5], u'#');
    EXPECT_EQ(FormatInto(out, 1, u"%d", {99}), 0u);
    EXPECT_EQ(out[0], 0);
    out[0] = u'#';
    EXPECT_EQ(FormatInto(out, 0, u"x", {}), 0u);
    EXPECT_EQ(out[0], u'#');
    char16_t wide[16];
    FormatInto(wide, 16, u"%999999999d", {1});  // a huge width is cut to the buffer
    EXPECT_EQ(std::u16string(wide).size(), 15u);
}

TEST(CopyTextInto, CutsWithoutSplittingASurrogatePair) {
    std::u16string text = u"a\U0001F600b";  // the face takes two code units
    char16_t out[3];
    EXPECT_EQ(CopyTextInto(out, 3, text), 1u);
    EXPECT_EQ(std::u16string(out), u"a");
    char16_t wide[4];
    EXPECT_EQ(CopyTextInto(wide, 4, text), 3u);
    EXPECT_EQ(std::u16string(wide), u"a\U0001F600");
    EXPECT_EQ(CopyTextInto(out, 3, u"a\U0001FFFF"), 1u);  // the highest low half
    FormatInto(out, 3, u"a%s", {u"\U0001F600"});
    EXPECT_EQ(std::u16string(out), u"a");
}

TEST(LeadingInt, ReadsLeadingDigitsOnly) {
    const struct {
        std::u16string_view text;
        int32_t expected;
    } cases[] = {
        {u" \t42", 42}, {u"12abc", 12}, {u"-5", -5}, {u"+7", 7}, {u"-", 0},
        {u"4294967297", 1},  // wraps like a 32-bit value
    };
    for (const auto& c : cases) EXPECT_EQ(LeadingInt(c.text), c.expected) << std::u16string(c.text).size();
}

TEST(Utf8, RoundTripsRepairsBadBytesAndFoldsOnlyAscii) {
    std::u16string text = u"Lanvisor 不明 한국 \U0001F600 \x7F\x80\u07FF\u0800\uFFFF\U00010000\U0010FFFF";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf8ToUtf16("a\xFF" "b\x80"), u"a\uFFFDb\uFFFD");
    EXPECT_EQ(Utf8ToUtf16(std::string_view("\xE3\x81\x82", 2)), u"\uFFFD\uFFFD");  // cut sequence
    EXPECT_EQ(Utf16ToUtf8(u"\xD800x\xDFFF"), "\xEF\xBF\xBDx\xEF\xBF\xBD");  // lone surrogates
    EXPECT_EQ(Utf16ToUtf8(std::u16string_view(u"x\xD800\xDC00", 2)), "x\xEF\xBF\xBD");  // a pair cut
    // Overlong, cut by a letter, surrogates, past U+10FFFF.
    for (std::string_view bad : {"\xC0\x80", "\xC3(", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF4\x90\x80\x80"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad.size();
    EXPECT_TRUE(EqualsIgnoreAsciiCase(u"Lanvisor", u"LANVISOR"));
    EXPECT_FALSE(EqualsIgnoreAsciiCase(u"Lanvisor", u"LANVISOR!"));
    EXPECT_FALSE(EqualsIgnoreAsciiCase(u"\u00C4", u"\u00E4"));
}

TEST(TextFile, DecodesEveryMarkedEncodingAndFallsBackToAnsi) {
    EXPECT_EQ(DecodeTextBytes(std::string("\xFF\xFE" "A\0\xE3\x65", 6)), u"A\u65E3");
    EXPECT_EQ(DecodeTextBytes("\xEF\xBB\xBF\xE4\xB8\x8D"), u"\u4E0D");
    EXPECT_EQ(DecodeTextBytes(std::string("\xFF\xFE" "A\0B", 5)), u"A");  // an odd tail is dropped
    EXPECT_EQ(DetectTextEncoding("caf\xE9"), TextEncoding::Ansi);
    std::u16string decoded = DecodeTextBytes("caf\xE9");
    ASSERT_EQ(decoded.size(), 4u);  // one character for the one odd byte
    EXPECT_EQ(decoded.substr(0, 3), u"caf");
    EXPECT_EQ(EncodeUtf16LeWithBom(u"A\u4E0D"), std::string("\xFF\xFE" "A\0\x0D\x4E", 6));
}

}  // namespace
