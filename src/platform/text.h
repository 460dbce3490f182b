// UTF-16 text helpers shared by every layer.
//
// All program text is char16_t (identical on Windows and Linux), so lengths
// and positions are UTF-16 code units everywhere. The helpers below write
// into fixed buffers and never write past them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// Copies src into dst (capacity code units including the terminator),
// cutting it so that it fits and never splitting a surrogate pair.
// Returns the number of code units copied. capacity 0 writes nothing.
size_t CopyTextInto(char16_t* dst, size_t capacity, std::u16string_view src);

template <size_t N>
size_t CopyTextInto(char16_t (&dst)[N], std::u16string_view src) {
    return CopyTextInto(dst, N, src);
}

// Length of a terminated text held in a buffer of the given capacity
// (stops at the capacity when no terminator is found).
size_t TextLength(const char16_t* text, size_t capacity);

template <size_t N>
std::u16string_view TextView(const char16_t (&text)[N]) {
    return std::u16string_view(text, TextLength(text, N));
}

// The longest prefix of text that holds at most maxUnits code units and does
// not end in the first half of a surrogate pair.
std::u16string_view CutText(std::u16string_view text, size_t maxUnits);

// Integer taken from the leading digits of a text, the way the program reads
// typed numbers and INI values: leading blanks are skipped, one sign is
// allowed, reading stops at the first non-digit; no digits gives 0. The value
// wraps like a 32-bit integer instead of overflowing.
int32_t LeadingInt(std::u16string_view text);

// One argument of FormatInto: a number or a text.
struct FormatArg {
    FormatArg(int v) : isText(false), number(v) {}
    FormatArg(unsigned v) : isText(false), number(v) {}
    FormatArg(long v) : isText(false), number(v) {}
    FormatArg(unsigned long v) : isText(false), number(static_cast<long long>(v)) {}
    FormatArg(long long v) : isText(false), number(v) {}
    FormatArg(char16_t c) : isText(false), number(c) {}
    FormatArg(std::u16string_view s) : isText(true), text(s) {}
    FormatArg(const char16_t* s) : isText(true), text(s ? s : u"") {}
    FormatArg(const std::u16string& s) : isText(true), text(s) {}

    bool isText;
    long long number = 0;
    std::u16string_view text;
};

// printf-style formatting into a fixed buffer. Supports %d %i %u %x %X %c %s
// and %%, with the flags '-' and '0', a width and, for %s, a precision.
// A missing argument formats as 0 or an empty text; a surplus is ignored.
// The result is cut to capacity - 1 units and always terminated (when
// capacity > 0). Returns the number of units written.
size_t FormatInto(char16_t* dst, size_t capacity, std::u16string_view pattern,
                  std::initializer_list<FormatArg> args);

template <size_t N>
size_t FormatText(char16_t (&dst)[N], std::u16string_view pattern,
                  std::initializer_list<FormatArg> args) {
    return FormatInto(dst, N, pattern, args);
}

// The same formatting into a growing string (for texts without a fixed home).
std::u16string FormatString(std::u16string_view pattern, std::initializer_list<FormatArg> args);

// UTF-8 <-> UTF-16. Invalid UTF-8 bytes become U+FFFD; unpaired surrogates
// are written as U+FFFD in UTF-8.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view text);

// True when bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

// ASCII-only case folding, used for INI section and key names.
char16_t AsciiLower(char16_t c);
bool EqualsIgnoreAsciiCase(std::u16string_view a, std::u16string_view b);
