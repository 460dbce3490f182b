// Small commands of the Tools, Setting and Connection menus.
#include <gtest/gtest.h>

#include "common/help_commands.h"
#include "common/program_directory.h"
#include "platform/text.h"
#include "relaunch/relaunch_target.h"
#include "shell/local_host_info.h"
#include "support/recording_launcher.h"

namespace {

// What the about box shows, the manual, the restart and one chosen macro
// file are checked end to end.
TEST(MacroFileEditing, EveryChosenFileOpensByItsFullPath) {
    using namespace std::string_view_literals;
    const struct {
        std::u16string_view result;
        std::vector<std::u16string> paths;
    } cases[] = {
        {u"C:\\Lanvisor\\loop.txt\0\0\0"sv, {u"C:\\Lanvisor\\loop.txt"}},  // one file: its full path alone
        {u"C:\\Lanvisor\0a.txt\0b.txt\0\0"sv, {u"C:\\Lanvisor\\a.txt", u"C:\\Lanvisor\\b.txt"}},
        {u"C:\\\0a.txt\0b.txt\0\0"sv, {u"C:\\a.txt", u"C:\\b.txt"}},  // a drive root ends in "\" already
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

TEST(LocalHostInfo, LongNamesAreCutAndAFailureShowsThePlaceholder) {
    FakeHostLookup lookup;
    LocalHostInfo info;
    lookup.result = {true, "127.0.0.1", true, std::string(1000, 'n')};
    RefreshLocalHostInfo(info, lookup);
    EXPECT_EQ(HostNameMessage(info).size(), kHostMessageCapacity - 1);
    // A later failure puts the placeholder back rather than keeping stale text.
    lookup.result = {true, "127.0.0.2", false, ""};
    RefreshLocalHostInfo(info, lookup);
    EXPECT_EQ(HostNameMessage(info), u"127.0.0.2\r\n不明");
}

}  // namespace
