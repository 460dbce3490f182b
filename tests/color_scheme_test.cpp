#include <gtest/gtest.h>

#include "appearance/color_scheme.h"
#include "common/program_directory.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/text_file.h"
#include "support/temp_folder.h"

namespace {

TEST(ColorScheme, DefaultsForBothModes) {
    ColorScheme scheme;
    ReadColorScheme(IniDocument(), scheme);
    EXPECT_EQ(scheme.Light[kWindowBack], (Rgb{255, 255, 255}));
    EXPECT_EQ(scheme.Light[kDialogBack], (Rgb{240, 240, 240}));
    EXPECT_EQ(scheme.Light[kButtonFace], (Rgb{230, 230, 230}));
    EXPECT_EQ(scheme.Dark[kWindowBack], (Rgb{0, 0, 0}));
    EXPECT_EQ(scheme.Dark[kDialogBack], (Rgb{32, 32, 32}));
    EXPECT_EQ(scheme.Dark[kButtonFace], (Rgb{42, 42, 42}));
    EXPECT_EQ(scheme.Light[kStatusTipServer], (Rgb{146, 208, 80}));
    EXPECT_EQ(scheme.Dark[kStatusUdpServer], (Rgb{0, 156, 156}));
}

TEST(ColorScheme, ComponentsKeepTheirLowEightBits) {
    IniDocument file;
    file.Parse(u"[Setting]\r\nrbgLs[3].g=300\r\nrbgDs[20].b=256\r\nrbgLs[0].r=-1\r\nrbgDs[1].r=abc\r\n");
    ColorScheme scheme;
    ReadColorScheme(file, scheme);
    EXPECT_EQ(scheme.Light[3].g, 44);
    EXPECT_EQ(scheme.Dark[20].b, 0);
    EXPECT_EQ(scheme.Light[0].r, 255);
    EXPECT_EQ(scheme.Dark[1].r, 0);
    EXPECT_EQ(scheme.Light[3].r, 200);  // untouched components keep their defaults
}

TEST(ColorScheme, SaveWritesAll126KeysInOrder) {
    TempFolder folder;
    CopyTextInto(g_ProgramDirectory, folder.Path());
    std::u16string cwd = WorkingDirectory();
    ASSERT_TRUE(SaveColorScheme(ColorScheme()));
    SetWorkingDirectory(cwd);
    std::u16string text = DecodeTextBytes(folder.ReadBytes(u"color.ini"));
    IniDocument lines;
    lines.Parse(text);
    std::u16string expected = u"[Setting]\r\n";
    for (bool dark : {false, true}) {
        const Rgb* set = DefaultColors(dark);
        for (int slot = 0; slot < kColorSlots; ++slot) {
            const char16_t* prefix = dark ? u"rbgDs" : u"rbgLs";
            expected += FormatString(u"%s[%d].r=%d\r\n", {prefix, slot, int(set[slot].r)});
            expected += FormatString(u"%s[%d].g=%d\r\n", {prefix, slot, int(set[slot].g)});
            expected += FormatString(u"%s[%d].b=%d\r\n", {prefix, slot, int(set[slot].b)});
        }
    }
    EXPECT_EQ(text, expected);
}

TEST(ColorScheme, ActiveColorsComeFromTheChosenSet) {
    ColorScheme scheme;
    scheme.Light[kTextColor] = {1, 2, 3};
    ActiveColors active;
    BuildActiveColorValues(scheme, false, active);
    EXPECT_EQ(active.Value[kTextColor], 0x030201u);  // red in the lowest byte
    BuildActiveColorValues(scheme, true, active);
    EXPECT_EQ(active.Value[kTextColor], 0xFFFFFFu);
}

}  // namespace
