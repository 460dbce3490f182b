#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/text.h"
#include "platform/text_file.h"
#include "common/app_settings.h"
#include "common/program_context.h"
#include "support/temp_folder.h"

namespace {

// The program directory in a fresh folder. The file a first run writes and
// the keys the dialogs change are checked end to end; here hand-edited files.
class AppSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedDirectory = WorkingDirectory();
        CopyTextInto(g_Program.Directory, folder.Path());
    }
    void TearDown() override { SetWorkingDirectory(savedDirectory); }

    TempFolder folder;
    std::u16string savedDirectory;
};

TEST_F(AppSettingsTest, ValuesAreTakenAsTheyStand) {
    folder.WriteBytes(u"Lanvisor.ini", Utf16LeFile(
        u"[LANVISOR]\r\n"
        u"WSA_VER=7\r\n"
        u"port_no=abc\r\n"
        u"aport_no=70000\r\n"
        u"macro_filename=ab\r\n"
        u"[Tools]\r\nlast=1\r\n"));
    AppSettings settings;
    LoadAppSettings(settings);
    EXPECT_EQ(settings.AccessPort, 0);
    EXPECT_EQ(settings.AdapterPort, 70000);  // no range limit when loading
    EXPECT_EQ(settings.MacroFileName[0], 0);  // two characters are no file name

    ASSERT_TRUE(SaveAppSettings(settings));
    EXPECT_EQ(WorkingDirectory(), folder.Path());  // the save makes the folder current
    std::u16string text = DecodeTextBytes(folder.ReadBytes(u"Lanvisor.ini"));
    EXPECT_NE(text.find(u"\r\nmacro_filename=\r\n"), std::u16string::npos);
    EXPECT_NE(text.find(u"WSA_VER=7\r\n"), std::u16string::npos);  // unknown keys and sections survive
    EXPECT_NE(text.find(u"[Tools]\r\nlast=1\r\n"), std::u16string::npos);

    // Long texts are cut to their fields.
    folder.WriteBytes(u"Lanvisor.ini", Utf16LeFile(u"[Lanvisor]\r\nmacro_filename=C:\\" + std::u16string(400, u'm') +
                                                   u"\r\nmypcname=" + std::u16string(300, u'p') + u"\r\n"));
    LoadAppSettings(settings);
    EXPECT_EQ(TextLength(settings.MacroFileName, kMacroFileNameCapacity), 259u);
    EXPECT_EQ(TextLength(settings.PcName, kPcNameCapacity), 255u);
}

// Every key of the table, those added later included: its default is the
// record's, and a value written is read back into the same field.
TEST(AppSettingsTable, EveryKeyRoundTrips) {
    size_t count = 0;
    const SettingKey* keys = SettingKeys(count);
    AppSettings fresh, defaults, written, read;
    ReadAppSettings(IniDocument{}, defaults);
    for (size_t i = 0; i < count; ++i) {
        const SettingKey& k = keys[i];
        if (k.intField) {
            EXPECT_EQ(*k.intField(defaults), *k.intField(fresh)) << Utf16ToUtf8(k.key);
            *k.intField(written) = 1000 + static_cast<int32_t>(i);
        } else {
            EXPECT_EQ(k.textField(defaults)[0], k.textField(fresh)[0]) << Utf16ToUtf8(k.key);
            CopyTextInto(k.textField(written), k.textCapacity, u"C:\\設定\\" + std::u16string(k.key));
        }
    }
    IniDocument ini;
    WriteAppSettings(written, ini);
    ReadAppSettings(ini, read);
    for (size_t i = 0; i < count; ++i) {
        const SettingKey& k = keys[i];
        if (k.intField) EXPECT_EQ(*k.intField(read), 1000 + static_cast<int32_t>(i)) << Utf16ToUtf8(k.key);
        else EXPECT_EQ(std::u16string(k.textField(read)), u"C:\\設定\\" + std::u16string(k.key));
    }
}

}  // namespace
