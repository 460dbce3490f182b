#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "shell/command_table.h"
#include "shell/menu_layout.h"

namespace {

TEST(MenuLayout, EveryCommandOnceInTheMenuWithTheImageOfItsButton) {
    std::set<int> commands;
    for (const MenuPopupEntry& popup : MenuPopups()) {
        for (int commandId : popup.commandIds) {
            EXPECT_TRUE(commands.insert(commandId).second) << commandId;
            ASSERT_NE(FindCommand(commandId), nullptr) << commandId;
        }
    }
    EXPECT_EQ(commands.size(), Commands().size());
    // File > Save: text 210 and the first image; Connection > Open: the
    // image of button 342, which is out of menu order.
    const MenuItemEntry save = MenuItem(201), open = MenuItem(232);
    EXPECT_EQ(std::pair(save.textNumber, save.image), std::pair(210, 0));
    EXPECT_EQ(std::pair(open.textNumber, open.image), std::pair(251, 12));
    EXPECT_EQ(MenuItem(205).image, kNoMenuImage);  // Export: a menu item only
    EXPECT_EQ(MenuItem(999).image, kNoMenuImage);
    EXPECT_EQ(MenuPopups().size(), 7u);
    EXPECT_TRUE(MenuPopups()[1].separatorAtEnd);
}

// Which toolbar buttons are enabled is checked with the command table.
TEST(MenuLayout, EveryToolbarButtonHasAnImageOfItsOwn) {
    std::set<int> images;
    for (const ToolbarButtonEntry& b : ToolbarButtons()) images.insert(b.image);
    EXPECT_EQ(images.size(), 26u);
}

}  // namespace
