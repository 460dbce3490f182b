#include <gtest/gtest.h>

#include <set>

#include "shell/command_table.h"

namespace {

TEST(CommandTable, IdsAndTextNumbersAreUniqueAndInRange) {
    std::set<int> ids;
    std::set<int> texts;
    for (const CommandEntry& c : Commands()) {
        EXPECT_TRUE(ids.insert(c.menuId).second) << c.menuId;
        EXPECT_TRUE(texts.insert(c.textNumber).second) << c.textNumber;
        EXPECT_GE(c.menuId, kFirstCommandId);
        EXPECT_LT(c.menuId, kFirstToolbarId);
        if (c.toolbarId == 0) continue;  // a menu item only
        EXPECT_TRUE(ids.insert(c.toolbarId).second) << c.toolbarId;
        EXPECT_GE(c.toolbarId, kFirstToolbarId);
        EXPECT_LE(c.toolbarId, kLastCommandId);
    }
    EXPECT_EQ(ids.size(), 29u + 26u);  // 26 of them with a toolbar button
}

TEST(CommandTable, MenuAndToolbarIdsReachTheSameCommand) {
    const struct {
        int menuId, toolbarId, textNumber;
        CommandAction action;
    } cases[] = {
        {203, 355, 212, CommandAction::EndProgram},   {211, 333, 221, CommandAction::ClearTrace},
        {212, 334, 222, CommandAction::ScrollForward}, {232, 342, 251, CommandAction::OpenConnection},
        {243, 350, 262, CommandAction::LanguageDialog}, {253, 354, 272, CommandAction::WebPage},
    };
    for (const auto& c : cases) {
        const CommandEntry* byMenu = FindCommand(c.menuId);
        ASSERT_NE(byMenu, nullptr);
        EXPECT_EQ(byMenu, FindCommand(c.toolbarId));
        EXPECT_EQ(byMenu->textNumber, c.textNumber);
        EXPECT_EQ(byMenu->action, c.action);
    }
    EXPECT_EQ(FindCommand(200), nullptr);
    EXPECT_EQ(FindCommand(209), nullptr);
    EXPECT_EQ(FindCommand(0), nullptr);  // no command has toolbar id 0
    EXPECT_EQ(FindCommand(206)->action, CommandAction::CaptureToFile);
    EXPECT_EQ(FindCommand(356), nullptr);
}

TEST(CommandTable, EnablingFollowsTheConnectionState) {
    const struct {
        int id;
        bool whenOpen, whenClosed;
    } cases[] = {
        {204, false, true}, {212, false, true}, {213, false, true}, {214, false, true}, {215, false, true},
        {221, true, false}, {222, true, false}, {223, true, false},
        {231, false, true}, {232, false, true}, {241, false, true},
        {233, true, false},
        {243, true, true},  {201, true, true},  {205, true, true}, {206, true, true},  {226, true, true}, {234, true, true}, {253, true, true},
        // Toolbar ids follow their menu item.
        {332, false, true}, {338, true, false}, {343, true, false}, {350, true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsCommandEnabled(c.id, true), c.whenOpen) << c.id;
        EXPECT_EQ(IsCommandEnabled(c.id, false), c.whenClosed) << c.id;
    }
}

}  // namespace
