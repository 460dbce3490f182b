// lanvisor-run: opens one connection with the window's own open function,
// runs one macro file (through the window's macro interpreter and host), a
// list of sends or just listens, prints every block of the trace as a line
// on standard output, writes the trace file and ends with a verdict.
#pragma once

#include <string>
#include <vector>

enum RunnerExit : int {
    kExitDone = 0,          // PEND, or the sends and listening finished
    kExitNoPend = 1,        // the macro ran off the end of its text
    kExitMacroError = 2,    // the macro (or a send) stopped on an error
    kExitNoConnection = 3,  // the connection could not be opened
    kExitTimeout = 4,       // --timeout passed
    kExitUsage = 64,        // bad command line or unreadable file
};

// args: the words after the program name. Returns the exit status.
int RunLanvisorRun(const std::vector<std::u16string>& args);
