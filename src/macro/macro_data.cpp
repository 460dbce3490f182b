#include "macro/macro_data.h"

#include <string>

#include "platform/code_page.h"

namespace {

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

uint8_t MacroHexPair(char first, char second) {
    const char pair[2] = {first, second};
    int i = 0;
    while (i < 2 && IsCSpace(pair[i])) ++i;
    bool negative = false;
    if (i < 2 && (pair[i] == '+' || pair[i] == '-')) negative = pair[i++] == '-';
    int value = 0;
    for (; i < 2 && HexDigit(pair[i]) >= 0; ++i) value = value * 16 + HexDigit(pair[i]);
    return static_cast<uint8_t>(negative ? -value : value);
}

int32_t MacroDataToBytes(std::u16string_view text, uint8_t* out, int32_t capacity) {
    if (text.size() > kMacroDataTextMax) text = text.substr(0, kMacroDataTextMax);
    std::string bytes = Utf16ToAnsiNoBestFit(text);
    int32_t count = 0;
    auto put = [&](uint8_t b) {
        if (count < capacity) out[count] = b;
        ++count;
    };
    char quote = 0;  // the quote that opened the current run, 0 outside
    for (size_t i = 0; i < bytes.size();) {
        char c = bytes[i];
        if (quote != 0) {
            if (c == quote)
                quote = 0;
            else
                put(static_cast<uint8_t>(c));
            ++i;
        } else if (c == '"' || c == '\'') {
            quote = c;
            ++i;
        } else if (i + 1 < bytes.size()) {
            put(MacroHexPair(c, bytes[i + 1]));
            i += 2;
        } else {
            break;  // a lone byte at the end is ignored
        }
    }
    return count;
}
