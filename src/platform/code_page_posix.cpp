#include "platform/code_page.h"

#include "platform/text.h"

std::u16string AnsiToUtf16(std::string_view bytes) { return Utf8ToUtf16(bytes); }

std::string Utf16ToAnsi(std::u16string_view text, bool* lossy) {
    if (lossy) {
        *lossy = false;
        for (size_t i = 0; i < text.size(); ++i) {
            char16_t c = text[i];
            bool high = c >= 0xD800 && c <= 0xDBFF;
            bool low = c >= 0xDC00 && c <= 0xDFFF;
            if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                ++i;
            } else if (high || low) {
                *lossy = true;
            }
        }
    }
    return Utf16ToUtf8(text);
}

// UTF-8 maps every character exactly; only unpaired surrogates are lost.
std::string Utf16ToAnsiNoBestFit(std::u16string_view text, bool* lossy) { return Utf16ToAnsi(text, lossy); }

// In UTF-8 only the ASCII range takes a single byte.
uint8_t CodeToAnsiByte(char16_t code) { return code < 0x80 ? static_cast<uint8_t>(code) : 0; }
