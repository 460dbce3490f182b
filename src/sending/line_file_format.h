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
// characters. A longer line (written by hand) is refused whole and leaves
// its entry empty: cut anywhere, it could end inside a code or a quote and
// send something else than written.
constexpr int32_t kLineFileLongestLine = kLineCodes / 2 * 5;
constexpr int32_t kLineFileLineChars = kLineFileLongestLine + 2;
constexpr int32_t kLineFileMaxLines = 200;
// The most a load reads: the mark and 200 of the longest lines the program
// writes. A file with longer lines may reach it before its 200th line.
constexpr size_t kLineFileReadLimit = 2 + 2 * size_t(kLineFileLineChars) * kLineFileMaxLines;

// Reads a line file's bytes into a table: false, with the table unchanged,
// when the bytes do not start with the UTF-16LE byte-order mark. Otherwise
// every entry (the spare ones too) is cleared, and line k of the file becomes
// entry k for the first maxLines lines. A line ends at CR LF or at the end
// of the bytes; an empty, unusable or overlong line leaves its entry empty
// (the lines after it keep their places), and at most 256 codes are kept.
// Bytes that fill kLineFileReadLimit may have been cut: their last line,
// without its CR LF, counts as overlong.
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
