// The requests to stop that a command-line run heeds: an interrupt (Ctrl+C,
// SIGINT) and a request to end (SIGTERM, SIGHUP; on Windows Ctrl+Break and
// the console window closing). The first is noted for the run to finish in
// order (a poll of its loop); a second ends the process at once. A reader
// that closes standard output (a pipe) does not end the process either.
#pragma once

enum class StopRequest { None, Interrupt, End };

// Starts watching. The codes are the exit codes of a second request, which
// ends the process without finishing.
void WatchStopRequests(int interruptCode, int endCode);
StopRequest PendingStopRequest();
// The run has finished writing: a request that waits for it (the console
// closing on Windows) may let the process end now, with this exit code.
void StopRequestsDone(int exitCode);
