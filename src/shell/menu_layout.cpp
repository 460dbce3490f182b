#include "shell/menu_layout.h"

#include "shell/command_table.h"

namespace {

constexpr int kFileItems[] = {201, 202, 205, 206, 207, 203};
constexpr int kViewItems[] = {204, 211, 212, 213, 214, 215};
constexpr int kSendItems[] = {221, 222, 223};
constexpr int kToolItems[] = {226, 227, 228};
constexpr int kConnectionItems[] = {231, 232, 233, 234};
constexpr int kSettingItems[] = {241, 242, 243, 244};
constexpr int kHelpItems[] = {251, 252, 253};

constexpr MenuPopupEntry kPopups[] = {
    {kTextMenuFile, kFileItems, false},          {kTextMenuView, kViewItems, true},
    {kTextMenuSend, kSendItems, false},          {kTextMenuTools, kToolItems, false},
    {kTextMenuConnection, kConnectionItems, false}, {kTextMenuOptions, kSettingItems, false},
    {kTextMenuHelp, kHelpItems, false},
};

constexpr ToolbarButtonEntry kButtons[kToolbarImages] = {
    {0, 330},  {1, 331},  {2, 333},  {3, 334},  {4, 335},  {5, 336},  {6, 337},  {7, 332},  {8, 338},
    {9, 339},  {10, 340}, {11, 341}, {12, 342}, {13, 343}, {14, 344}, {15, 345}, {16, 346}, {17, 347},
    {18, 348}, {19, 349}, {20, 350}, {21, 351}, {22, 352}, {23, 353}, {24, 354}, {25, 355},
};

constexpr int kEnvironmentButton = 348;

}  // namespace

std::span<const MenuPopupEntry> MenuPopups() { return kPopups; }
std::span<const ToolbarButtonEntry> ToolbarButtons() { return kButtons; }

MenuItemEntry MenuItem(int commandId) {
    MenuItemEntry item{commandId, TextNumber{}, kNoMenuImage};
    const CommandEntry* command = FindCommand(commandId);
    if (!command) return item;
    item.textNumber = command->textNumber;
    for (const ToolbarButtonEntry& button : kButtons)
        if (button.commandId == command->toolbarId) item.image = button.image;
    return item;
}

bool ToolbarButtonEnabled(int commandId, bool connectionOpen) {
    if (commandId == kEnvironmentButton) return true;
    return IsCommandEnabled(commandId, connectionOpen);
}
