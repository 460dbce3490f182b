#include <winsock2.h>

#include "platform/socket_error.h"

int32_t LastSocketError() { return WSAGetLastError(); }
