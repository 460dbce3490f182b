#include "runner/macro_file_encoding.h"

#include "platform/text.h"

bool MacroFileAsUtf16(std::string_view bytes, std::string& utf16le) {
    if (bytes.starts_with("\xFF\xFE")) {
        utf16le = bytes;
        return true;
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    if (!IsValidUtf8(bytes)) return false;
    std::u16string text = u"\uFEFF";
    char16_t previous = 0;
    for (char16_t c : Utf8ToUtf16(bytes)) {
        if (c == u'\n' && previous != u'\r') text += u'\r';
        text += c;
        previous = c;
    }
    utf16le.clear();
    for (char16_t c : text) {
        utf16le += static_cast<char>(c & 0xFF);
        utf16le += static_cast<char>(c >> 8);
    }
    return true;
}
