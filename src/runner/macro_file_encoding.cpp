#include "runner/macro_file_encoding.h"

#include "platform/text.h"
#include "platform/text_file.h"

bool MacroFileText(std::string_view bytes, std::u16string& text) {
    text = u"\uFEFF";
    if (bytes.starts_with("\xFF\xFE")) {
        text += DecodeTextBytes(bytes);
        return true;
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    if (!IsValidUtf8(bytes)) return false;
    char16_t previous = 0;
    for (char16_t c : Utf8ToUtf16(bytes)) {
        if (c == u'\n' && previous != u'\r') text += u'\r';
        text += c;
        previous = c;
    }
    return true;
}
