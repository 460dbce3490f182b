// The lock that serialises the receive thread and the user-interface thread
// where they share state (the trace, peer records). Held only for short,
// allocation-free sections.
#pragma once

#include <mutex>

using Lock = std::mutex;
using LockHold = std::lock_guard<std::mutex>;
