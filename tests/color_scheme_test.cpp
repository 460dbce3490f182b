#include <gtest/gtest.h>

#include <algorithm>

#include "appearance/color_scheme.h"
#include "platform/text.h"
#include "platform/text_file.h"
#include "support/program_folder.h"

namespace {

TEST(ColorScheme, ComponentsKeepTheirLowEightBitsAndMissingKeysTheDefaults) {
    IniDocument file;
    file.Parse(u"[Setting]\r\nrbgLs[3].g=300\r\nrbgDs[20].b=256\r\nrbgLs[0].r=-1\r\nrbgDs[1].r=abc\r\n");
    ColorScheme scheme;
    ReadColorScheme(file, scheme);
    EXPECT_EQ(scheme.Light[3].g, 44);
    EXPECT_EQ(scheme.Dark[20].b, 0);
    EXPECT_EQ(scheme.Light[0].r, 255);
    EXPECT_EQ(scheme.Dark[1].r, 0);
    EXPECT_EQ(scheme.Light[3].r, 200);
    EXPECT_EQ(scheme.Dark[kDialogBack], (Rgb{32, 32, 32}));
}

TEST(ColorScheme, SavedSchemeReadsBackKeyByKey) {
    ProgramFolder program;
    ColorScheme saved;
    saved.Light[0] = {1, 2, 3};
    saved.Dark[kColorSlots - 1] = {7, 8, 9};
    ASSERT_TRUE(SaveColorScheme(saved));
    std::u16string text = DecodeTextBytes(program.folder.ReadBytes(u"color.ini"));
    EXPECT_EQ(text.substr(0, 53), u"[Setting]\r\nrbgLs[0].r=1\r\nrbgLs[0].g=2\r\nrbgLs[0].b=3\r\n");
    EXPECT_LT(text.find(u"rbgLs[20].b="), text.find(u"rbgDs[0].r="));
    EXPECT_EQ(text.substr(text.size() - 15), u"rbgDs[20].b=9\r\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), u'='), 2 * 3 * kColorSlots);
    ColorScheme loaded;
    LoadColorScheme(loaded);
    for (int slot = 0; slot < kColorSlots; ++slot) {
        EXPECT_EQ(loaded.Light[slot], saved.Light[slot]) << slot;
        EXPECT_EQ(loaded.Dark[slot], saved.Dark[slot]) << slot;
    }
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
