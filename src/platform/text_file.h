// Encodings of the program's text files.
//
// The program writes its own text files as UTF-16LE with a byte-order mark.
// It reads UTF-16 (either byte order, with a mark), UTF-8 with or without a
// mark, and otherwise the system's ANSI code page.
#pragma once

#include <string>
#include <string_view>

enum class TextEncoding { Utf16Le, Utf16Be, Utf8, Ansi };

// Which encoding DecodeTextBytes takes for these bytes.
TextEncoding DetectTextEncoding(std::string_view bytes);

// Decodes a whole file's bytes (without the byte-order mark in the result).
// Never fails: an odd trailing byte of UTF-16 is dropped.
std::u16string DecodeTextBytes(std::string_view bytes);

// UTF-16LE bytes with a leading byte-order mark.
std::string EncodeUtf16LeWithBom(std::u16string_view text);
