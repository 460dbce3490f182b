#include "session/session.h"

#include "connection/connection.h"

bool OpenSession(Session& session, const AppSettings& settings, WindowHandle owner) {
    session.Connection.Listener = &session.Replies;
    return OpenConnection(session.Connection, session.Trace, ConnectionSettingsOf(settings), owner);
}

void CloseSession(Session& session, WindowHandle owner) { CloseConnection(session.Connection, owner); }
