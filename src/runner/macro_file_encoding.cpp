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

std::u16string MacroFileRefusal(std::string_view bytes, std::u16string& text) {
    std::u16string tooLong = FormatString(u"is longer than the %d characters a macro holds", {kMacroTextCapacity - 1});
    bool marked16 = bytes.starts_with("\xFF\xFE");
    if (bytes.empty()) return u"is empty";
    if (bytes.size() >= kMacroReadLimit) return tooLong;
    // 00 bytes without the mark: UTF-16 that would pass for UTF-8 and run as nothing.
    if (!marked16 && bytes.find('\0') != std::string_view::npos)
        return u"holds 00 bytes: UTF-16 without byte-order mark? Save it with the mark, or as UTF-8";
    if (!MacroFileText(bytes, text)) return u"is neither UTF-16 with byte-order mark nor UTF-8";
    if (text.size() > static_cast<size_t>(kMacroTextCapacity)) return tooLong;
    return {};
}
