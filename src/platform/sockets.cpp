#include "platform/sockets.h"

Ipv4Endpoint MakeEndpoint(const int32_t (&numbers)[4], int32_t port) {
    return {Ipv4FromNumbers(numbers), static_cast<uint16_t>(port)};
}
