// Macro files for the runner: the window's UTF-16LE with a byte-order mark,
// and UTF-8 with or without its mark, so that a file written in any editor
// runs. UTF-8 lines may end in a bare line feed; they get the carriage
// return that the interpreter ends its lines with.
#pragma once

#include <string>
#include <string_view>

// The file's text as the interpreter reads it: code units, the mark first.
// False when the bytes are neither UTF-16LE with a mark nor UTF-8.
bool MacroFileText(std::string_view fileBytes, std::u16string& text);
