// lanvisor-run: opens one connection with the window's own open function,
// runs one macro file (through the window's macro interpreter and host), a
// list of sends or just listens, prints every block of the trace as a line
// on standard output, writes the trace file and ends with a verdict.
#pragma once

#include <string>
#include <vector>

#include "runner/run_verdict.h"

// args: the words after the program name. Returns the exit status.
int RunLanvisorRun(const std::vector<std::u16string>& args);
