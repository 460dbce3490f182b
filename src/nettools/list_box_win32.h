// The list boxes of the network tool dialogs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Replaces the entries and lets the list scroll sideways to its widest one.
void FillListBox(HWND list, const std::vector<std::u16string>& entries);

// The selected entry; empty without a selection.
std::u16string SelectedListText(HWND list);
