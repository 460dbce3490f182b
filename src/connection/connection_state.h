// The one connection's state, shared by the user-interface thread and the
// receive thread.
#pragma once

#include <atomic>

struct ConnectionState {
    std::atomic<bool> ConnectionActive{false};
};

extern ConnectionState g_Connection;

inline bool IsConnectionActive() { return g_Connection.ConnectionActive.load(); }
