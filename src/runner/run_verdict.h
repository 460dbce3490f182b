// How a run ended, and the one exit code that says it. When several things
// apply, the first in this order wins: a usage error (64, before anything
// runs) > no connection (3) > an interrupt (130) > a request to end (143) >
// the time limit (4) > an output file that could not be written (74) > a
// frame no rule matched under --strict (5) > a macro error or a failed send
// (2) > a macro that ended without PEND (1) > done (0).
#pragma once

#include "platform/stop_requests.h"

enum RunnerExit : int {
    kExitDone = 0,             // PEND, or the sends and listening finished
    kExitNoPend = 1,           // the macro ran off the end of its text
    kExitMacroError = 2,       // the macro stopped on an error, or a send failed
    kExitNoConnection = 3,     // the connection could not be opened
    kExitTimeout = 4,          // --timeout passed
    kExitUnmatched = 5,        // --strict saw a frame no rule matched
    kExitUsage = 64,           // bad command line, or a file the run needs is unreadable
    kExitOutputFailed = 74,    // an output file could not be written during the run
    kExitInterrupted = 130,    // Ctrl+C (SIGINT)
    kExitEndRequested = 143,   // SIGTERM, SIGHUP, Ctrl+Break or the console closing
};

struct RunOutcome {
    StopRequest stop = StopRequest::None;
    bool timedOut = false;
    bool outputFailed = false;
    bool unmatched = false;
    int work = kExitDone;  // what the macro or the sends came to: 0, 1 or 2
};

int ExitCodeOf(const RunOutcome& outcome);
