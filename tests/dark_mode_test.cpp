#include <gtest/gtest.h>

#include "appearance/dark_mode.h"
#include "platform/text.h"
#include "platform/text_file.h"
#include "common/program_directory.h"
#include "support/program_folder.h"

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
        {Utf16(u"dkm=1\r\n"), true, false},
        {Utf16(u"dkm=3\r\n"), true, true},
        {Utf16(u"dkm=3"), false, false},                 // no line end: ignored
        {Utf16(u"dkm=1\r\ndkm=2\r\n"), false, true},     // last line wins
        {Utf16(u"dkm=3\r\nsomething\r\n"), false, false},  // other lines clear both
        {Utf16(u"dkm=3\r\ndkm=1"), true, true},          // an unfinished last line changes nothing
        {Utf16(u"dkm=13\r\n"), true, false},             // the first five characters count
        {Utf16(u"dkm=3\n"), false, false},               // a line needs CR and LF
        {Utf16(u"dkm=3\r\n", false), false, false},      // no byte-order mark
        {"dkm=3\r\n", false, false},                     // an 8-bit file
        {std::string("\xFF\xFE", 2), false, false},
        {Utf16(u"dkm=3\r\n") + "\x41", true, true},      // an odd trailing byte
    };
    for (const auto& c : cases) {
        AppearanceFlags flags = ParseDarkModeFile(c.bytes);
        EXPECT_EQ(flags.DarkMode, c.dark) << c.bytes.size();
        EXPECT_EQ(flags.NoMenuBar, c.noMenuBar) << c.bytes.size();
    }
}

TEST(DarkModeFile, OverlongLinesAreCutAndDoNotCount) {
    std::u16string longLine(600, u'x');
    AppearanceFlags flags = ParseDarkModeFile(Utf16(u"dkm=3\r\n" + longLine + u"\r\n"));
    EXPECT_FALSE(flags.DarkMode);
    // 510 characters make a line of their own: "dkm=1..." after them is read as a new line.
    flags = ParseDarkModeFile(Utf16(std::u16string(510, u'y') + u"dkm=1\r\n"));
    EXPECT_TRUE(flags.DarkMode);
}

TEST(DarkModeFile, WrittenFileReadsBackAndAMissingOneGivesLightWithMenuBar) {
    ProgramFolder program;
    const TempFolder& folder = program.folder;
    AppearanceFlags missing = ReadDarkModeFile(folder.Path());
    EXPECT_FALSE(missing.DarkMode || missing.NoMenuBar);
    for (bool dark : {false, true}) {
        for (bool noMenuBar : {false, true}) {
            int32_t value = DarkModeValue(dark, noMenuBar);
            ASSERT_TRUE(WriteDarkModeFile(value));
            char16_t expected[16];
            FormatText(expected, u"dkm=%d\r\n", {value});
            EXPECT_EQ(folder.ReadBytes(u"dkm.ini"), EncodeUtf16LeWithBom(expected));
            AppearanceFlags flags = ReadDarkModeFile(folder.Path());
            EXPECT_EQ(flags.DarkMode, dark);
            EXPECT_EQ(flags.NoMenuBar, noMenuBar);
        }
    }
    EXPECT_EQ(DarkModeValue(false, true), 2);
}

}  // namespace
