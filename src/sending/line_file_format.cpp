#include "sending/line_file_format.h"

#include <algorithm>

#include "platform/text.h"
#include "platform/text_file.h"
#include "sending/line_notation.h"

namespace {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

bool HasByteOrderMark(std::string_view bytes) {
    return bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF && static_cast<uint8_t>(bytes[1]) == 0xFE;
}

bool IsLineBreak(char16_t c) { return c == kCr || c == kLf; }

// Reads one line from pos on, its CR LF included, into `line`. Characters
// past the buffer are passed over to the line's end, so that the rest of a
// long line is never taken for the next line. An odd byte at the end counts
// as the end of the bytes. Returns the number of characters of the line.
int32_t ReadLine(std::string_view bytes, size_t& pos, char16_t (&line)[kLineFileLineChars], bool& atEnd) {
    int32_t n = 0;
    char16_t previous = 0;
    atEnd = false;
    for (;;) {
        if (bytes.size() - pos < 2) {
            atEnd = true;
            break;
        }
        char16_t c = static_cast<char16_t>(static_cast<uint8_t>(bytes[pos]) | static_cast<uint8_t>(bytes[pos + 1]) << 8);
        pos += 2;
        if (n < kLineFileLineChars) line[n] = c;
        ++n;
        if (c == kLf && previous == kCr) break;  // a lone LF stays in the line
        previous = c;
    }
    return n;
}

}  // namespace

bool ReadLineFileBytes(std::string_view bytes, std::span<LineEntry> allEntries, int32_t maxLines) {
    if (!HasByteOrderMark(bytes)) return false;
    for (LineEntry& entry : allEntries) ClearLineEntry(entry);
    maxLines = std::clamp<int32_t>(maxLines, 0, static_cast<int32_t>(allEntries.size()));
    // Bytes that fill the read limit may stop inside a line.
    bool mayBeCut = bytes.size() >= kLineFileReadLimit;
    size_t pos = 2;
    char16_t line[kLineFileLineChars];
    for (int32_t k = 0; k < maxLines; ++k) {
        bool atEnd = false;
        int32_t length = ReadLine(bytes, pos, line, atEnd);
        int32_t n = std::min(length, kLineFileLineChars);
        for (int strip = 0; strip < 2; ++strip)
            if (n > 0 && IsLineBreak(line[n - 1])) --n;
        bool whole = length <= kLineFileLineChars && !(atEnd && mayBeCut);
        if (whole && n >= 1 && n <= kLineFileLongestLine) {
            LineEntry& entry = allEntries[static_cast<size_t>(k)];
            entry.count = ParseLineNotation(std::u16string_view(line, static_cast<size_t>(n)), entry.codes, kLineCodes);
        }
        if (atEnd) break;
    }
    return true;
}

std::string LineFileBytes(std::span<const LineEntry> lines) {
    std::u16string text;
    for (const LineEntry& entry : lines) {
        if (entry.count <= 0) break;  // an empty entry ends the file
        AppendLineNotation(entry.codes, std::min(entry.count, kLineCodes), text);
        text += u"\r\n";
    }
    return EncodeUtf16LeWithBom(text);
}

std::u16string LineFileName(std::u16string_view path) {
    std::u16string name(path);
    size_t n = name.size();
    if (n >= 4 && EqualsIgnoreAsciiCase(std::u16string_view(name).substr(n - 4), u".txt")) return name;
    for (size_t back = 4; back >= 1; --back) {
        if (back <= n && name[n - back] == u'.') {
            name.resize(n - back);
            break;
        }
    }
    return name + u".txt";
}
