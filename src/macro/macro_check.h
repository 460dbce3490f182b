// Reading a macro before it runs: the lines that will not run as their
// writer meant. The interpreter passes over every line it does not know and
// reads its fields from fixed columns, so a slip of the keyboard ("SNED",
// "Send", a register one column off) changes a run without a word.
//
// What is fine: a command line in its columns, an empty or blank line, a
// label line (":" and three characters, words may follow), and a comment,
// a line whose first character other than a blank is ";". Every other line
// is reported, since the interpreter passes over it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct MacroFinding {
    int32_t line = 0;  // 1-based, as the interpreter's messages count
    std::u16string what;
};

// `text`: a macro as the interpreter reads it (code units, the byte-order
// mark first). At most one finding per line: the first thing wrong in it.
std::vector<MacroFinding> CheckMacroText(std::u16string_view text);

// Whether any line of the text is a command the interpreter runs.
bool MacroHasCommand(std::u16string_view text);
