// The painting rules every dialog of the program follows: title bar by dark
// mode, dialog color behind statics, buttons and check boxes, window color
// behind edit text, owner-drawn push buttons.
#pragma once

#include <windows.h>

#include "appearance/color_scheme.h"

// Dark or light title bar, by dark mode.
void ApplyTitleBarMode(HWND window);

// What every dialog does when it opens: the title bar by dark mode, and in
// dark mode check boxes and radio buttons drawn unthemed, so that they take
// the text color (themed ones keep the theme's black text).
void PrepareDialog(HWND dialog);

// Handles the color and owner-draw messages of a dialog. Returns true (and
// the dialog procedure's result) when the message was one of them.
// editBackSlot is the background behind edit text (normally the window color).
bool PaintDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result,
                        int editBackSlot = kWindowBack);

// Draws an owner-drawn push button: button face, a frame and its text.
void DrawOwnerButton(const DRAWITEMSTRUCT& item);
