// Macro files for the runner: the window's UTF-16LE with a byte-order mark,
// and UTF-8 with or without its mark, so that a file written in any editor
// runs. UTF-8 lines may end in a bare line feed; they get the carriage
// return that the interpreter ends its lines with.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "macro/macro_runner.h"

// The most a macro file is read: more than any file whose text fits the
// interpreter (UTF-8 takes at most 3 bytes per code unit), so a file that
// reaches it is too long, whatever its encoding.
constexpr size_t kMacroReadLimit = static_cast<size_t>(kMacroFileMaxBytes) * 2;

// The file's text as the interpreter reads it: code units, the mark first.
// False when the bytes are neither UTF-16LE with a mark nor UTF-8.
bool MacroFileText(std::string_view fileBytes, std::u16string& text);

// Why the bytes of a macro file (read up to kMacroReadLimit) cannot be read
// as a macro, as the end of a sentence that starts with the file's name;
// empty when they can, and `text` then holds them as MacroFileText gives
// them.
//
// A text longer than the interpreter holds is refused rather than cut: a
// cut macro loses its last lines (often the PEND and the labels its jumps
// go to), and its verdict would be about a different macro than the one
// written.
std::u16string MacroFileRefusal(std::string_view fileBytes, std::u16string& text);
