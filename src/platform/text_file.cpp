#include "platform/text_file.h"

#include "platform/code_page.h"
#include "platform/text.h"

namespace {

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.size() >= prefix.size() && bytes.substr(0, prefix.size()) == prefix;
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string out(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < out.size(); ++i) {
        unsigned char a = static_cast<unsigned char>(bytes[2 * i]);
        unsigned char b = static_cast<unsigned char>(bytes[2 * i + 1]);
        out[i] = bigEndian ? static_cast<char16_t>((a << 8) | b) : static_cast<char16_t>((b << 8) | a);
    }
    return out;
}

}  // namespace

TextEncoding DetectTextEncoding(std::string_view bytes) {
    if (StartsWith(bytes, "\xFF\xFE")) return TextEncoding::Utf16Le;
    if (StartsWith(bytes, "\xFE\xFF")) return TextEncoding::Utf16Be;
    if (StartsWith(bytes, "\xEF\xBB\xBF")) return TextEncoding::Utf8;
    // Text without a mark: UTF-8 when it is well-formed (plain ASCII is
    // both), the ANSI code page otherwise.
    return IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Ansi;
}

std::u16string DecodeTextBytes(std::string_view bytes) {
    switch (DetectTextEncoding(bytes)) {
    case TextEncoding::Utf16Le:
        return DecodeUtf16(bytes.substr(2), false);
    case TextEncoding::Utf16Be:
        return DecodeUtf16(bytes.substr(2), true);
    case TextEncoding::Utf8:
        return Utf8ToUtf16(StartsWith(bytes, "\xEF\xBB\xBF") ? bytes.substr(3) : bytes);
    case TextEncoding::Ansi:
        break;
    }
    return AnsiToUtf16(bytes);
}

std::string EncodeUtf16LeWithBom(std::u16string_view text) {
    std::string out;
    out.reserve(2 + text.size() * 2);
    out.push_back('\xFF');
    out.push_back('\xFE');
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}
