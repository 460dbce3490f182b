// The small commands of the Help, Connection and Setting menus that hand a
// file to the system or show one box.
#include <gtest/gtest.h>

#include "common/help_commands.h"
#include "common/program_directory.h"
#include "platform/launcher.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "relaunch/relaunch_target.h"
#include "shell/local_host_info.h"

namespace {

// What the about box shows, the manual and the restart are checked end to
// end; here the day the compiler pads.
TEST(AboutTexts, TheCompilersPaddedDayIsClosedUp) {
    EXPECT_EQ(AboutBuildDateText("Dec  7 2026"), u"Build: Dec 7 2026");
}

// The restart tool starts only a plain executable name in its own folder.
TEST(RelaunchTarget, OnlyPlainExecutableNamesInItsOwnFolder) {
    const struct {
        std::u16string_view name;
        bool accepted;
    } cases[] = {
        {u"LANVISOR.EXE", true}, {u".exe", false},      {u"Lanvisor.exe.txt", false}, {u"..\\evil.exe", false},
        {u"sub/x.exe", false},   {u"a\"b.exe", false},  {u"a\nb.exe", false},         {u" x.exe", false},
        {u"..exe", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsRelaunchTarget(c.name), c.accepted) << std::u16string(c.name).size();
}

class FakeHostLookup : public HostLookup {
public:
    LocalHostLookup LookUpLocalHost() override { return result; }
    LocalHostLookup result;
};

TEST(LocalHostInfo, UnknownUntilFoundAndLongNamesAreCut) {
    FakeHostLookup lookup;
    LocalHostInfo info;
    RecordingMessageBox boxes;
    ShowHostNameMessage(nullptr, info, lookup);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, u"HostName");
    EXPECT_EQ(boxes.Boxes()[0].text, u"不明\r\n不明");
    lookup.result = {true, "127.0.0.1", true, std::string(1000, 'n')};
    RefreshLocalHostInfo(info, lookup);
    EXPECT_EQ(std::u16string(info.Name).size(), kHostNameCapacity - 1);
    EXPECT_EQ(HostNameMessage(info).size(), kHostMessageCapacity - 1);
    // A later failure puts the placeholder back rather than keeping stale text.
    lookup.result = {true, "127.0.0.2", false, ""};
    RefreshLocalHostInfo(info, lookup);
    EXPECT_EQ(HostNameMessage(info), u"127.0.0.2\r\n不明");
}

}  // namespace
