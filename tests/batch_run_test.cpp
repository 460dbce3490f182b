#include <gtest/gtest.h>

#include "nettools/autokey_settings.h"
#include "nettools/batch_files.h"
#include "nettools/batch_run.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "support/program_folder.h"
#include "support/recording_launcher.h"
#include "support/recording_message_box.h"

namespace {

const std::vector<int32_t> kBefore = {192, 168, 0, 99};

class BatchRun : public ::testing::Test {
protected:
    BatchRun() { CreateDirectoryAt(BatchFolderPath()); }

    std::vector<int32_t> AdapterAddress() const { return {settings.AdapterIp, settings.AdapterIp + 4}; }
    void Run(std::u16string_view name, BatchRunPlace place = {}) {
        RunBatchFile(nullptr, name, place, settings, autokey);
    }

    void WriteBatch(std::u16string_view name, std::string_view bytes) {
        program.folder.WriteBytes(u"ipaddress/" + std::u16string(name), bytes);
    }

    ProgramFolder program;
    RecordingMessageBox boxes;
    RecordingLauncher launcher;
    AppSettings settings;  // the adapter at kBefore, the credential tool off
    AutokeySettings autokey;
};

TEST_F(BatchRun, AStartedFixedAddressFileBecomesTheAdapterAddress) {
    const struct {
        std::string_view bytes;
        std::vector<int32_t> expected;
    } cases[] = {
        {"netsh interface ip set address \"Ethernet\" static 192.168.1.20 255.255.255.0\r\n", {192, 168, 1, 20}},
        {"netsh interface ip set address \"Ethernet\" static 10.0\r\n", kBefore},  // too few numbers
    };
    for (const auto& c : cases) {
        std::copy(kBefore.begin(), kBefore.end(), settings.AdapterIp);
        WriteBatch(u"Ethernet_x.bat", c.bytes);
        launcher.launches.clear();
        Run(u"Ethernet_x.bat");
        ASSERT_EQ(launcher.launches.size(), 1u);
        EXPECT_TRUE(launcher.launches[0].elevated);
        EXPECT_EQ(AdapterAddress(), c.expected) << c.bytes;
    }
    EXPECT_EQ(boxes.Count(), 0u);
}

// A declined elevation, no choice, or a file that cannot be read back: the
// adapter keeps its address and the box says why.
TEST_F(BatchRun, FailuresKeepTheAdapterAddress) {
    WriteBatch(u"Ethernet_10_0_0_1.bat", "netsh interface ip set address \"Ethernet\" static 10.0.0.1 255.0.0.0\r\n");
    launcher.runAsResult = false;
    Run(u"Ethernet_10_0_0_1.bat");
    launcher.runAsResult = true;
    Run(u"");
    Run(u"gone.bat");
    EXPECT_EQ(AdapterAddress(), kBefore);
    EXPECT_EQ(launcher.launches.size(), 2u);  // nothing runs without a choice
    auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].text, program.folder.File(u"ipaddress\\Ethernet_10_0_0_1.bat") +
                                 u" could not be started as administrator");
    EXPECT_EQ(shown[0].style, static_cast<uint32_t>(kMbOk | kMbIconError));
    EXPECT_EQ(shown[1].text, u"Please select an item.");
    EXPECT_EQ(shown[2].text, u"Unable to open the file.");
}

TEST_F(BatchRun, TheCredentialToolGetsItsFileAndStartsBeforeTheElevation) {
    WriteBatch(u"Ethernet_auto.bat", "netsh interface ip set address \"Ethernet\" dhcp\r\n");
    autokey.IdTime = 1200;
    autokey.PwTime = 3400;
    CopyTextInto(autokey.IdText, u"operator");
    CopyTextInto(autokey.PwText, u"pa ss=wörd;#");
    settings.AutokeyOn = 1;
    Run(u"Ethernet_auto.bat", {500, 20});
    ASSERT_EQ(launcher.launches.size(), 2u);
    EXPECT_FALSE(launcher.launches[0].elevated);
    EXPECT_EQ(launcher.launches[0].file, program.folder.File(u"autokey.exe"));
    EXPECT_TRUE(launcher.launches[1].elevated);
    IniDocument ini;
    ASSERT_TRUE(ini.Load(program.folder.File(u"autokey.ini")));
    std::u16string value;
    // The tool's window goes 300 left and 50 above the dialog, not off the screen.
    for (auto [key, expected] : {std::pair{u"moto_x", u"200"}, {u"moto_y", u"0"}, {u"id_time", u"1200"},
                                 {u"pw_time", u"3400"}, {u"id_wcs", u"operator"}, {u"pw_wcs", u"pa ss=wörd;#"}}) {
        ASSERT_TRUE(ini.Lookup(u"Setting", key, value)) << Utf16ToUtf8(key);
        EXPECT_EQ(value, expected);
    }
    EXPECT_EQ(boxes.Count(), 0u);
}

}  // namespace
