#include <gtest/gtest.h>

#include "platform/launcher.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "common/help_commands.h"
#include "common/program_directory.h"

namespace {

TEST(AboutTexts, VersionAndBuildDate) {
    EXPECT_EQ(AboutVersionText(), u"Version 1.168");
    const struct {
        std::string_view compilerDate;
        std::u16string_view text;
    } cases[] = {
        {"Jul 11 2026", u"Build: Jul 11 2026"},
        {"Dec  7 2026", u"Build: Dec 7 2026"},  // the compiler pads a one-digit day
        {"", u"Build: "},
    };
    for (const auto& c : cases) EXPECT_EQ(AboutBuildDateText(c.compilerDate), c.text) << c.compilerDate;
}

// The manual beside the program; only a result above 32 is a success. The
// texts of the failure box are checked end to end.
TEST(Manual, OpensBesideTheProgramAndTellsAFailure) {
    CopyTextInto(g_ProgramDirectory, u"C:\\Lanvisor");
    for (intptr_t result : {2, 32, 33}) {
        RecordingLauncher launcher;
        RecordingMessageBox boxes;
        launcher.openResult = result;
        OpenManual(nullptr);
        ASSERT_EQ(launcher.launches.size(), 1u);
        EXPECT_FALSE(launcher.launches[0].elevated);
        EXPECT_EQ(launcher.launches[0].file, u"C:\\Lanvisor\\Lanvisor_manual.pdf");
        EXPECT_EQ(boxes.Count(), result > 32 ? 0u : 1u) << result;
    }
}

TEST(MacroFileEditing, EveryChosenFileOpensByItsFullPath) {
    using namespace std::string_view_literals;
    const struct {
        std::u16string_view result;
        std::vector<std::u16string> paths;
    } cases[] = {
        {u"C:\\Lanvisor\\loop.txt\0\0\0"sv, {u"C:\\Lanvisor\\loop.txt"}},
        {u"C:\\Lanvisor\0a.txt\0b.txt\0\0"sv, {u"C:\\Lanvisor\\a.txt", u"C:\\Lanvisor\\b.txt"}},
        {u"C:\\\0a.txt\0b.txt\0\0"sv, {u"C:\\a.txt", u"C:\\b.txt"}},  // a drive root ends in "\" already
        {u""sv, {}},
        {u"C:\\Lanvisor\0a.txt\0b.t"sv, {u"C:\\Lanvisor\\a.txt"}},  // cut off: the last name is incomplete
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChosenFilePaths(c.result), c.paths);
        RecordingLauncher launcher;
        OpenChosenFiles(nullptr, c.result);
        ASSERT_EQ(launcher.launches.size(), c.paths.size());
        for (size_t i = 0; i < c.paths.size(); ++i) EXPECT_EQ(launcher.launches[i].file, c.paths[i]);
    }
}

}  // namespace
