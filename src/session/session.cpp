#include "session/session.h"

#include "connection/connection.h"

bool OpenSession(Session& session, const AppSettings& settings, WindowHandle owner) {
    return OpenConnection(session.Connection, session.Trace, ConnectionSettingsOf(settings), owner);
}

void CloseSession(Session& session, WindowHandle owner) { CloseConnection(session.Connection, owner); }
