// Line files: UTF-16LE text with a byte-order mark, one stored line per line
// of the file, each ended by CR LF. The program writes hex pairs; reading
// takes the full line notation, so files can be written by hand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "sending/line_entry.h"

// The longest line taken: the longest the program writes. Codes below 256
// take two hex digits, larger ones one character inside quotes, and a run of
// them a pair of quotes; 256 codes alternating between the two take 128 x 5
// characters. At most this many characters and the line break are read for
// one line; a longer line is unusable and leaves its entry empty.
constexpr int32_t kLineFileLongestLine = kLineCodes / 2 * 5;
constexpr int32_t kLineFileLineChars = kLineFileLongestLine + 2;
constexpr int32_t kLineFileMaxLines = 200;
// The most a load can consume: the mark and 200 lines read whole.
// Nothing beyond it is ever looked at, so a larger file is read only this far.
constexpr size_t kLineFileReadLimit = 2 + 2 * size_t(kLineFileLineChars) * kLineFileMaxLines;

// Reads a line file's bytes into a table: false, with the table unchanged,
// when the bytes do not start with the UTF-16LE byte-order mark. Otherwise
// every entry (the spare ones too) is cleared, and line k of the file becomes
// entry k for the first maxLines lines. A line ends at CR LF, at the end of
// the bytes, or after kLineFileLineChars characters; an empty, unusable or
// overlong line leaves its entry empty, and at most 256 codes are kept.
bool ReadLineFileBytes(std::string_view bytes, std::span<LineEntry> allEntries, int32_t maxLines);

template <int32_t U, int32_t A>
bool ReadLineFileBytes(std::string_view bytes, LineTable<U, A>& table) {
    return ReadLineFileBytes(bytes, table.AllEntries(), U);
}

// The bytes of a line file holding the lines up to the first empty one.
std::string LineFileBytes(std::span<const LineEntry> lines);

// The name a line file is saved under: one that does not end in ".txt" (in
// any case) gets that extension, replacing whatever follows a dot among its
// last four characters (the first dot found from the fourth-last on), or
// appended when there is none.
std::u16string LineFileName(std::u16string_view path);
