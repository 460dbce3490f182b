#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "shell/command_table.h"
#include "shell/menu_layout.h"

namespace {

// Every command has a menu id and, with a button, a toolbar id of its own,
// both reaching it; the menu holds each command once. The toolbar's images
// are looked at on screen.
TEST(CommandTable, IdsReachTheirCommandAndTheMenuHoldsEachOnce) {
    std::set<int> ids, inMenu;
    for (const CommandEntry& c : Commands()) {
        EXPECT_TRUE(ids.insert(c.menuId).second) << c.menuId;
        EXPECT_EQ(FindCommand(c.menuId), &c);
        if (c.toolbarId == 0) continue;  // a menu item only
        EXPECT_TRUE(ids.insert(c.toolbarId).second) << c.toolbarId;
        EXPECT_GE(c.toolbarId, kFirstToolbarId);
        EXPECT_EQ(FindCommand(c.toolbarId), &c);
    }
    EXPECT_EQ(ids.size(), 29u + 26u);  // 26 of the commands with a toolbar button
    EXPECT_EQ(FindCommand(0), nullptr);  // no command has toolbar id 0
    for (const MenuPopupEntry& popup : MenuPopups())
        for (int commandId : popup.commandIds) EXPECT_TRUE(inMenu.insert(commandId).second && FindCommand(commandId));
    EXPECT_EQ(inMenu.size(), Commands().size());
    // Connection > Open takes the image of button 342, which is out of menu order.
    EXPECT_EQ(std::pair(MenuItem(232).textNumber, MenuItem(232).image), std::pair(251, 12));
    EXPECT_EQ(MenuItem(205).image, kNoMenuImage);  // Export: a menu item only
}

// One command of each kind; the end-to-end run checks every toolbar button.
TEST(CommandTable, EnablingFollowsTheConnectionState) {
    const struct {
        int id;
        bool whenOpen, whenClosed;
    } cases[] = {
        {204, false, true}, {221, true, false}, {201, true, true}, {999, true, true},
        {332, false, true}, {338, true, false},  // toolbar ids follow their menu item
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
