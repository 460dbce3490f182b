// The runner's message boxes: each box becomes one line on standard error,
// "[caption] text", with the text's line breaks shown as " | ". Questions
// (Yes/No boxes) are answered Yes: the only one the runner meets asks
// whether to close a TCP server that still has a client, and at the end of
// a run it must. The window's reports of success (the socket library's
// version, a connection opened or closed, the macro ended at PEND) are
// lines only when asked for: a script wants its standard error to hold what
// went wrong.
#pragma once

#include <string>
#include <string_view>

#include "platform/message_box.h"

std::string MessageLine(std::u16string_view caption, std::u16string_view text);

class ConsoleMessageBox : public MessageBoxHost {
public:
    explicit ConsoleMessageBox(bool verbose) : verbose_(verbose) {}
    int Show(WindowHandle owner, std::u16string_view text, std::u16string_view caption, uint32_t style) override;

private:
    bool verbose_;
};
