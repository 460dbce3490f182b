#include "platform/sockets.h"

#include <cstring>

Ipv4Endpoint MakeEndpoint(const int32_t octets[4], int32_t port) {
    uint8_t bytes[4];
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(octets[i]);
    Ipv4Endpoint endpoint;
    std::memcpy(&endpoint.address, bytes, 4);
    endpoint.port = static_cast<uint16_t>(port);  // ports are used as their low 16 bits
    return endpoint;
}

void EndpointOctets(const Ipv4Endpoint& endpoint, uint8_t octets[4]) { std::memcpy(octets, &endpoint.address, 4); }
