#include <gtest/gtest.h>

#include "nettools/run_as_administrator.h"
#include "platform/launcher.h"
#include "platform/message_box.h"

namespace {

TEST(RunAsAdministrator, StartsElevatedAndReportsOnlyAFailure) {
    const struct {
        bool starts;
        std::u16string_view path;
        std::u16string_view text;
    } cases[] = {
        {true, u"C:\\Lanvisor\\ipaddress\\Ethernet_auto.bat", u""},
        {false, u"C:\\プログラム\\connect_ip.bat", u"C:\\プログラム\\connect_ip.bat could not be started as administrator"},
        {false, u"100%s.bat", u"100%s.bat could not be started as administrator"},
    };
    for (const auto& c : cases) {
        RecordingLauncher launcher;
        RecordingMessageBox boxes;
        launcher.runAsResult = c.starts;
        int owner = 0;
        EXPECT_EQ(RunAsAdministrator(&owner, c.path), c.starts);
        ASSERT_EQ(launcher.launches.size(), 1u);
        EXPECT_TRUE(launcher.launches[0].elevated);
        EXPECT_EQ(launcher.launches[0].file, c.path);
        if (c.starts) {
            EXPECT_EQ(boxes.Count(), 0u);
            continue;
        }
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].owner, &owner);
        EXPECT_EQ(boxes.Boxes()[0].text, c.text);
        EXPECT_EQ(boxes.Boxes()[0].caption, u"Error");
        EXPECT_EQ(boxes.Boxes()[0].style, static_cast<uint32_t>(kMbOk | kMbIconError));
    }
}

}  // namespace
