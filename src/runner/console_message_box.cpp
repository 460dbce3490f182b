#include "runner/console_message_box.h"

#include <cstdio>

#include "common/text_table.h"
#include "platform/text.h"

namespace {

// Captions the window gives only to reports of success.
constexpr std::u16string_view kSuccessCaptions[] = {u"WSAStartup", u"LAN connection", u"LAN disconnect"};

// Whether a box only reports that something went well.
bool IsSuccessReport(std::u16string_view caption, std::u16string_view text) {
    for (std::u16string_view c : kSuccessCaptions)
        if (caption == c) return true;
    // The macro's end at PEND, in the run's language (its end without PEND is a failure).
    std::u16string pend = AppText(kTextMacroEndedAtPend);
    return !pend.empty() && text == pend;
}

}  // namespace

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
    if (!verbose_ && IsSuccessReport(caption, text)) return UnattendedAnswer(style);
    std::string line = MessageLine(caption, text) + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    return UnattendedAnswer(style);
}
