// The menu bar's popups and the toolbar's buttons, in order, by command:
// what each item or button shows and when it may be used is in the
// command's row of the command table.
#pragma once

#include <span>

#include "common/text_numbers.h"
#include "shell/command_table.h"

struct MenuPopupEntry {
    TextNumber textNumber;
    std::span<const CommandAction> items;
    bool separatorAtEnd;
};

std::span<const MenuPopupEntry> MenuPopups();
std::span<const CommandAction> ToolbarButtons();

constexpr int kToolbarImages = 26;
constexpr int kToolbarImageSize = 16;
