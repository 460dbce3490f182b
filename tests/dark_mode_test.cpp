#include <gtest/gtest.h>

#include "appearance/dark_mode.h"
#include "platform/text.h"
#include "platform/text_file.h"

namespace {

std::string Utf16(std::u16string_view text, bool mark = true) {
    std::string bytes = EncodeUtf16LeWithBom(text);
    return mark ? bytes : bytes.substr(2);
}

TEST(DarkModeFile, TheLastCompleteLineDecides) {
    const struct {
        std::string bytes;
        bool dark, noMenuBar;
    } cases[] = {
        {Utf16(u"dkm=3\r\n"), true, true},
        {Utf16(u"dkm=1\r\ndkm=2\r\n"), false, true},     // last line wins
        {Utf16(u"dkm=3\r\nsomething\r\n"), false, false},  // other lines clear both
        {Utf16(u"dkm=3\r\ndkm=1"), true, true},          // an unfinished last line changes nothing
        {Utf16(u"dkm=13\r\n"), true, false},             // the first five characters count
        {Utf16(u"dkm=3\n"), false, false},               // a line needs CR and LF
        {Utf16(u"dkm=3\r\n", false), false, false},      // no byte-order mark
    };
    EXPECT_EQ(DarkModeFileBytes(3), Utf16(u"dkm=3\r\n"));  // what the program writes, it reads
    for (const auto& c : cases) {
        AppearanceFlags flags = ParseDarkModeFile(c.bytes);
        EXPECT_EQ(flags.DarkMode, c.dark) << c.bytes.size();
        EXPECT_EQ(flags.NoMenuBar, c.noMenuBar) << c.bytes.size();
    }
    // 510 characters make a line of their own, which does not count; "dkm=1" after them is a new line.
    EXPECT_FALSE(ParseDarkModeFile(Utf16(u"dkm=3\r\n" + std::u16string(600, u'x') + u"\r\n")).DarkMode);
    EXPECT_TRUE(ParseDarkModeFile(Utf16(std::u16string(510, u'y') + u"dkm=1\r\n")).DarkMode);
}

}  // namespace
