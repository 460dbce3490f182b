// The runner's message boxes: each box becomes one line on standard error,
// "[caption] text", with the text's line breaks shown as " | ". Questions
// (Yes/No boxes) are answered Yes: the only one the runner meets asks
// whether to close a TCP server that still has a client, and at the end of
// a run it must.
#pragma once

#include <string>
#include <string_view>

#include "platform/message_box.h"

std::string MessageLine(std::u16string_view caption, std::u16string_view text);

class ConsoleMessageBox : public MessageBoxHost {
public:
    int Show(WindowHandle owner, std::u16string_view text, std::u16string_view caption, uint32_t style) override;
};
