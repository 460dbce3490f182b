#include "shell/menu_layout.h"

#include "shell/command_table.h"

namespace {

constexpr MenuItemEntry kFileItems[] = {
    {201, 210, 0},           {202, 211, 1},           {205, 213, kNoMenuImage},
    {206, 214, kNoMenuImage}, {207, 215, kNoMenuImage}, {203, 212, 25}};
constexpr MenuItemEntry kViewItems[] = {{204, 220, 7}, {211, 221, 2}, {212, 222, 3},
                                        {213, 223, 4}, {214, 224, 5}, {215, 225, 6}};
constexpr MenuItemEntry kSendItems[] = {{221, 230, 8}, {222, 231, 9}, {223, 232, 10}};
constexpr MenuItemEntry kToolItems[] = {{226, 240, 15}, {227, 241, 16}, {228, 242, 17}};
constexpr MenuItemEntry kConnectionItems[] = {{231, 250, 11}, {232, 251, 12}, {233, 252, 13}, {234, 253, 14}};
constexpr MenuItemEntry kSettingItems[] = {{241, 260, 18}, {242, 261, 19}, {243, 262, 20}, {244, 263, 21}};
constexpr MenuItemEntry kHelpItems[] = {{251, 270, 22}, {252, 271, 23}, {253, 272, 24}};

constexpr MenuPopupEntry kPopups[] = {
    {200, kFileItems, false},       {201, kViewItems, true},     {202, kSendItems, false}, {203, kToolItems, false},
    {204, kConnectionItems, false}, {205, kSettingItems, false}, {206, kHelpItems, false},
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

bool ToolbarButtonEnabled(int commandId, bool connectionOpen) {
    if (commandId == kEnvironmentButton) return true;
    return IsCommandEnabled(commandId, connectionOpen);
}
