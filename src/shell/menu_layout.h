// The menu bar's popups and items, and the toolbar's buttons: which command
// each one gives, its text number and its image in the strips.
#pragma once

#include <span>

struct MenuItemEntry {
    int commandId;
    int textNumber;
    int image;  // kNoMenuImage: the plain check mark
};

constexpr int kNoMenuImage = -1;

struct MenuPopupEntry {
    int textNumber;
    std::span<const MenuItemEntry> items;
    bool separatorAtEnd;
};

struct ToolbarButtonEntry {
    int image;
    int commandId;
};

std::span<const MenuPopupEntry> MenuPopups();
std::span<const ToolbarButtonEntry> ToolbarButtons();

constexpr int kToolbarImages = 26;
constexpr int kToolbarImageSize = 16;

// Whether a toolbar button can be pressed in this connection state (the
// environment button stays usable while connected, unlike its menu item).
bool ToolbarButtonEnabled(int commandId, bool connectionOpen);
