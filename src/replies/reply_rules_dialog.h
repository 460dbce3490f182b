// The reply rules dialog: names the rules file, lists its rules with how
// often each answered since the connection opened (kept up to date while
// the dialog is open), the frames no rule matched, the sends that failed
// and why the file did not load; opens the file in the editor and reads it
// again.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "replies/reply_rules_control.h"

// What the dialog works on: the window's hold on its rules, and how the
// window opens a file in the editor (the shell's). The window keeps one for
// the whole run.
struct ReplyRulesDialogContext {
    ReplyRulesControl* Control = nullptr;
    std::function<void(HWND owner, std::u16string_view path)> EditFile;

    // While the dialog is open: the file it names, which stays named when
    // it fails to load (so that it can be edited and read again).
    std::u16string Path;
};

// Modal.
void ShowReplyRulesDialog(HWND owner, ReplyRulesDialogContext& context);
