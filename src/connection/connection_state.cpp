#include "connection/connection_state.h"

ConnectionState g_Connection;
