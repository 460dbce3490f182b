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

TEST(MenuLayout, ToolbarStatesByConnection) {
    const struct {
        int id;
        bool open, closed;
    } cases[] = {
        {330, true, true},   {331, true, true},  {333, true, true},   {355, true, true},  {344, true, true},
        {348, true, true},  // the environment button stays usable while connected
        {354, true, true},   {332, false, true}, {334, false, true},  {337, false, true}, {338, true, false},
        {340, true, false},  {341, false, true}, {342, false, true},  {343, true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToolbarButtonEnabled(c.id, true), c.open) << c.id;
        EXPECT_EQ(ToolbarButtonEnabled(c.id, false), c.closed) << c.id;
    }
    std::set<int> images;
    for (const ToolbarButtonEntry& b : ToolbarButtons()) images.insert(b.image);
    EXPECT_EQ(images.size(), 26u);
}

}  // namespace
