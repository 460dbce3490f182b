// Dialogs take their title and labels from the text table when they open.
#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "common/text_numbers.h"

struct ControlText {
    int controlId;
    TextNumber textNumber;
};

constexpr int kNoTitleText = -1;

// Sets the title (unless kNoTitleText) and each listed control's text in the
// current language.
void ApplyDialogTexts(HWND dialog, int titleText, std::span<const ControlText> controls);

// The text of a dialog control, at most capacity - 1 characters.
std::u16string DialogItemText(HWND dialog, int controlId, int capacity);
