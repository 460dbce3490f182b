// lanvisor-run --check MACRO_FILE: reads a macro as a run would and reports
// its lines that will not run as written, without connecting.
#pragma once

#include <string>

// Prints one line per finding on standard output, "FILE:LINE: what", as
// compilers do, so that editors can jump to it. Returns the exit status: 0
// when clean, 2 with findings, 64 with `error` set when the file cannot be
// read as a macro or holds no commands.
int CheckRunnerMacro(const std::u16string& path, std::u16string& error);
