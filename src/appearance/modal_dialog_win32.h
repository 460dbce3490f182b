// Runs a modal dialog of the program: the painting rules, the texts and the
// dark title bar come for free; a dialog supplies what it does on opening
// and on its commands, and whoever opens it hands in what it works on (its
// context), which its handlers find again by the dialog's window.
#pragma once

#include <windows.h>

#include "appearance/color_scheme.h"

struct DialogHandlers {
    // After the dialog's controls exist (set texts, fill controls).
    void (*init)(HWND dialog) = nullptr;
    // A command of a control; true when the dialog handled it. An unhandled
    // IDCANCEL (the close box or Escape) ends the dialog with kDialogClosed.
    bool (*command)(HWND dialog, int id, int notification) = nullptr;
    // The background behind edit text.
    int editBackSlot = kWindowBack;
    // Anything else the dialog needs (timers, painting); true when handled.
    bool (*other)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) = nullptr;
    // What the dialog works on (see DialogContext).
    void* context = nullptr;
};

constexpr INT_PTR kDialogClosed = 1;

INT_PTR RunModalDialog(HWND owner, int resourceId, const DialogHandlers& handlers);

// The context the dialog was run with (from WM_INITDIALOG on).
void* DialogContextOf(HWND dialog);
template <class Context>
Context& DialogContext(HWND dialog) {
    return *static_cast<Context*>(DialogContextOf(dialog));
}
