// The notation of stored lines: pairs of hexadecimal characters, one code per
// pair, and quoted text ("..." or '...') whose characters stand for
// themselves. Users write preset files by hand in it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Reads two characters as a base-16 number the way wcstol does: leading white
// space skipped, one optional sign, then hex digits of either case up to the
// first other character; no digits gives 0. Result -15..255.
int32_t ParseHexPair(char16_t first, char16_t second);

// Turns one line of a line file into codes: at most capacity codes are
// stored, the rest are dropped. Returns the number stored.
//   - outside quotes, characters pair up and each pair gives the low 16 bits
//     of its ParseHexPair value; a pair left open at the end is dropped, and a
//     held first character waits across a quoted section;
//   - inside quotes each character is one code; a quote of the other kind is
//     dropped there, and quote characters never become codes.
int32_t ParseLineNotation(std::u16string_view line, char16_t* codes, int32_t capacity);

// Appends the notation of a line as the program writes it (no line break):
// two upper-case hex digits per code below 256; a run of larger codes as
// quoted text so that it reads back as the same codes.
void AppendLineNotation(const char16_t* codes, int32_t count, std::u16string& out);
