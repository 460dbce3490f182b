#include "runner/console_message_box.h"

#include <cstdio>

#include "platform/text.h"

std::string MessageLine(std::u16string_view caption, std::u16string_view text) {
    std::u16string flat;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            flat += u" | ";
        } else {
            flat += c == u'\t' ? u' ' : c;
        }
    }
    return "[" + Utf16ToUtf8(caption) + "] " + Utf16ToUtf8(flat);
}

int ConsoleMessageBox::Show(WindowHandle, std::u16string_view text, std::u16string_view caption, uint32_t style) {
    std::string line = MessageLine(caption, text) + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    return UnattendedAnswer(style);
}
