// The data notation of the macro commands: hexadecimal pairs with no
// separator, and runs of text in double or single quotes. The text is first
// converted to the system's ANSI code page, so every result element is one
// byte. Not the notation of the preset lines: here a quote of the other
// kind inside a run is an ordinary byte, and a pair takes the next byte
// whatever it is.
#pragma once

#include <cstdint>
#include <string_view>

constexpr size_t kMacroDataTextMax = 257;  // characters of notation looked at

// Converts `text` and writes at most `capacity` bytes to `out`. Returns the
// number of bytes the whole notation gives, which is more than `capacity`
// when it does not fit (only the first `capacity` are written).
int32_t MacroDataToBytes(std::u16string_view text, uint8_t* out, int32_t capacity);

// One hexadecimal pair read the way strtol reads base 16: blanks skipped, a
// sign, hexadecimal digits up to the first other byte; no digits gives 0, a
// negative value gives its low eight bits.
uint8_t MacroHexPair(char first, char second);
