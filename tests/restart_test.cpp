#include <gtest/gtest.h>

#include "common/program_directory.h"
#include "platform/launcher.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "relaunch/relaunch_target.h"
#include "shell/restart.h"

namespace {

TEST(Restart, YesRestartsAsAdministratorAnythingElseNormally) {
    CopyTextInto(g_ProgramDirectory, u"C:\\Lanvisor");
    const struct {
        int answer;
        std::u16string_view executable;
    } cases[] = {{kIdYes, u"LanvisorA.exe"}, {kIdNo, u"Lanvisor.exe"}, {kIdCancel, u"Lanvisor.exe"}};
    for (const auto& c : cases) {
        RecordingMessageBox boxes;
        RecordingLauncher launcher;
        boxes.Answer(c.answer);
        StartRelaunch(AskRestartTarget(nullptr));
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, u"YES=Reboot as administrator NO=Normal reboot");
        EXPECT_EQ(boxes.Boxes()[0].caption, u"ReStart");
        EXPECT_EQ(boxes.Boxes()[0].style, static_cast<uint32_t>(kMbYesNo));
        ASSERT_EQ(launcher.launches.size(), 1u);
        EXPECT_FALSE(launcher.launches[0].elevated);
        EXPECT_EQ(launcher.launches[0].file, u"C:\\Lanvisor\\relaunch.exe");
        EXPECT_EQ(launcher.launches[0].parameters, c.executable);
        EXPECT_EQ(launcher.launches[0].directory, u"C:\\Lanvisor");
    }
}

TEST(RelaunchTarget, OnlyPlainExecutableNamesInItsOwnFolder) {
    const struct {
        std::u16string_view name;
        bool accepted;
    } cases[] = {
        {u"LanvisorA.exe", true}, {u"LANVISOR.EXE", true}, {u"", false},         {u".exe", false},
        {u"Lanvisor.exe.txt", false}, {u"..\\evil.exe", false}, {u"sub/x.exe", false}, {u"a\"b.exe", false},
        {u"a\nb.exe", false},     {u" x.exe", false},     {u"..exe", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsRelaunchTarget(c.name), c.accepted) << std::u16string(c.name).size();
}

}  // namespace
