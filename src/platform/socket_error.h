// The calling thread's last socket error, as a Winsock error code: the
// program's messages are keyed by Winsock codes on every platform.
#pragma once

#include <cstdint>

// Read it right after the failed call, on the same thread: the value is
// kept per thread and the next socket call may overwrite it.
int32_t LastSocketError();

#ifndef _WIN32
// The Winsock code for an errno value. An errno without a Winsock
// counterpart is returned unchanged, so the user sees the system's own
// number with the "Other errors" text rather than a borrowed explanation.
// (Winsock codes lie at 10004 and above apart from 6, 8, 87 and 995-997;
// of the errno numbers that coincide, EUSERS is mapped and ENXIO and
// ENOEXEC are not reported by socket calls.)
int32_t WinsockCodeFromErrno(int err);
#endif
