#include <gtest/gtest.h>

#include <map>
#include <set>

#include "shell/command_table.h"
#include "shell/menu_layout.h"

namespace {

TEST(MenuLayout, EveryCommandOnceInTheMenuWithTheImageOfItsButton) {
    std::set<int> commands;
    std::map<int, int> imageOfButton;
    for (const ToolbarButtonEntry& b : ToolbarButtons()) imageOfButton[b.commandId] = b.image;
    for (const MenuPopupEntry& popup : MenuPopups()) {
        for (const MenuItemEntry& item : popup.items) {
            EXPECT_TRUE(commands.insert(item.commandId).second) << item.commandId;
            const CommandEntry* command = FindCommand(item.commandId);
            ASSERT_NE(command, nullptr) << item.commandId;
            EXPECT_EQ(item.textNumber, command->textNumber);
            EXPECT_EQ(item.image, command->toolbarId ? imageOfButton[command->toolbarId] : kNoMenuImage)
                << item.commandId;
        }
    }
    EXPECT_EQ(commands.size(), Commands().size());
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
