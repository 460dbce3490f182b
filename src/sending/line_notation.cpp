#include "sending/line_notation.h"

#include <algorithm>

namespace {

bool IsWcstolSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

int HexDigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
}

char16_t HexDigit(uint32_t nibble) { return static_cast<char16_t>(nibble < 10 ? u'0' + nibble : u'A' + nibble - 10); }

}  // namespace

int32_t ParseHexPair(char16_t first, char16_t second) {
    const char16_t pair[2] = {first, second};
    int i = 0;
    while (i < 2 && IsWcstolSpace(pair[i])) ++i;
    bool negative = false;
    if (i < 2 && (pair[i] == u'+' || pair[i] == u'-')) negative = pair[i++] == u'-';
    int32_t value = 0;
    for (int digit; i < 2 && (digit = HexDigitValue(pair[i])) >= 0; ++i) value = value * 16 + digit;
    return negative ? -value : value;
}

int32_t ParseLineNotation(std::u16string_view line, char16_t* codes, int32_t capacity) {
    enum { Outside, InDouble, InSingle } state = Outside;
    bool holding = false;  // the first character of a pair is held
    char16_t held = 0;
    int32_t count = 0;
    capacity = std::max(capacity, 0);
    auto append = [&](char16_t code) {
        if (count < capacity) codes[count++] = code;
    };
    for (char16_t c : line) {
        if (c == u'"') {
            if (state == Outside) state = InDouble;
            else if (state == InDouble) state = Outside;
            continue;  // inside single quotes a double quote is dropped
        }
        if (c == u'\'') {
            if (state == Outside) state = InSingle;
            else if (state == InSingle) state = Outside;
            continue;
        }
        if (state != Outside) {
            append(c);
        } else if (!holding) {
            held = c;
            holding = true;
        } else {
            append(static_cast<char16_t>(ParseHexPair(held, c) & 0xFFFF));
            holding = false;
        }
    }
    return count;
}

void AppendLineNotation(const char16_t* codes, int32_t count, std::u16string& out) {
    bool quoted = false;
    for (int32_t i = 0; i < count; ++i) {
        uint32_t v = codes[i];
        // A code of 256 or more has no two-digit form; it is written as quoted
        // text, which reads back as the same code. A run of such codes shares
        // one pair of quotes, keeping lines short enough to be read back.
        if ((v >= 256) != quoted) {
            out.push_back(u'"');
            quoted = !quoted;
        }
        if (quoted) {
            out.push_back(static_cast<char16_t>(v));
        } else {
            out.push_back(HexDigit(v >> 4));
            out.push_back(HexDigit(v & 15));
        }
    }
    if (quoted) out.push_back(u'"');
}
