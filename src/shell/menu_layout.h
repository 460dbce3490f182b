// The menu bar's popups and items, and the toolbar's buttons: which command
// each one gives and its image in the strips. A menu item's text number and
// image come from the command table and the command's toolbar button.
#pragma once

#include <span>

#include "common/text_numbers.h"

struct MenuItemEntry {
    int commandId;
    TextNumber textNumber;
    int image;  // kNoMenuImage: the plain check mark (a command without a toolbar button)
};

constexpr int kNoMenuImage = -1;

struct MenuPopupEntry {
    TextNumber textNumber;
    std::span<const int> commandIds;  // the menu ids of its items, in order
    bool separatorAtEnd;
};

struct ToolbarButtonEntry {
    int image;
    int commandId;
};

std::span<const MenuPopupEntry> MenuPopups();
std::span<const ToolbarButtonEntry> ToolbarButtons();

// The item of a menu command, from the command table and the toolbar.
MenuItemEntry MenuItem(int commandId);

constexpr int kToolbarImages = 26;
constexpr int kToolbarImageSize = 16;

// Whether a toolbar button can be pressed in this connection state (the
// environment button stays usable while connected, unlike its menu item).
bool ToolbarButtonEnabled(int commandId, bool connectionOpen);
