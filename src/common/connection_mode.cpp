#include "common/connection_mode.h"

bool IsServerMode(ConnectionMode mode) { return mode == ConnectionMode::TcpServer || mode == ConnectionMode::UdpServer; }
bool IsTcpMode(ConnectionMode mode) { return mode == ConnectionMode::TcpClient || mode == ConnectionMode::TcpServer; }

ConnectionMode ModeOf(const AppSettings& settings) {
    bool udp = settings.TipUdpMode == 1;
    bool server = settings.IpMode == 1;
    if (udp) return server ? ConnectionMode::UdpServer : ConnectionMode::UdpClient;
    return server ? ConnectionMode::TcpServer : ConnectionMode::TcpClient;
}
