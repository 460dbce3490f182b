#include <gtest/gtest.h>

#include <set>

#include "shell/command_table.h"
#include "shell/menu_layout.h"

namespace {

// Every command has a menu id and, with a button, a toolbar id of its own, both
// reaching it.
TEST(CommandTable, IdsAreUniqueInRangeAndReachTheirCommand) {
    std::set<int> ids;
    for (const CommandEntry& c : Commands()) {
        EXPECT_TRUE(ids.insert(c.menuId).second) << c.menuId;
        EXPECT_GE(c.menuId, kFirstCommandId);
        EXPECT_LT(c.menuId, kFirstToolbarId);
        EXPECT_EQ(FindCommand(c.menuId), &c);
        if (c.toolbarId == 0) continue;  // a menu item only
        EXPECT_TRUE(ids.insert(c.toolbarId).second) << c.toolbarId;
        EXPECT_GE(c.toolbarId, kFirstToolbarId);
        EXPECT_LE(c.toolbarId, kLastCommandId);
        EXPECT_EQ(FindCommand(c.toolbarId), &c);
    }
    EXPECT_EQ(ids.size(), 29u + 26u);  // 26 of the commands with a toolbar button
    EXPECT_EQ(FindCommand(203)->action, CommandAction::EndProgram);
    EXPECT_EQ(FindCommand(342)->action, CommandAction::OpenConnection);
    EXPECT_EQ(FindCommand(206)->action, CommandAction::CaptureToFile);
    EXPECT_EQ(FindCommand(0), nullptr);  // no command has toolbar id 0
    EXPECT_EQ(FindCommand(200), nullptr);
    EXPECT_EQ(FindCommand(356), nullptr);
}

TEST(CommandTable, EnablingFollowsTheConnectionState) {
    const struct {
        int id;
        bool whenOpen, whenClosed;
    } cases[] = {
        {204, false, true}, {212, false, true}, {231, false, true}, {232, false, true}, {241, false, true},
        {221, true, false}, {223, true, false}, {233, true, false},
        {243, true, true},  {201, true, true},  {206, true, true},  {200, true, true},
        // Toolbar ids follow their menu item.
        {332, false, true}, {338, true, false}, {350, true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsCommandEnabled(c.id, true), c.whenOpen) << c.id;
        EXPECT_EQ(IsCommandEnabled(c.id, false), c.whenClosed) << c.id;
        EXPECT_EQ(ToolbarButtonEnabled(c.id, true), c.whenOpen) << c.id;
    }
    // The environment button stays usable while connected.
    EXPECT_FALSE(IsCommandEnabled(348, true));
    EXPECT_TRUE(ToolbarButtonEnabled(348, true));
}

}  // namespace
