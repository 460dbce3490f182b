// The baseline of the reply-latency benchmark: a bare echo server, built for
// Windows (run under Wine) and natively. It prints the port it listens on,
// then sends back every block it receives, as it came.
//
//   echo_server tcp|udp
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <winsock2.h>
using Socket = SOCKET;
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
using Socket = int;
#endif

namespace {

int PortOf(Socket s) {
    sockaddr_in a = {};
#ifdef _WIN32
    int n = sizeof a;
#else
    socklen_t n = sizeof a;
#endif
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
    return ntohs(a.sin_port);
}

Socket BoundSocket(bool tcp) {
    Socket s = socket(AF_INET, tcp ? SOCK_STREAM : SOCK_DGRAM, 0);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(0x7F000001);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    return s;
}

void EchoTcp(Socket listener) {
    listen(listener, 1);
    std::printf("port %d\n", PortOf(listener));
    std::fflush(stdout);
    Socket client = accept(listener, nullptr, nullptr);
    int on = 1;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    char buffer[1024];
    for (int n; (n = recv(client, buffer, sizeof buffer, 0)) > 0;) send(client, buffer, n, 0);
}

void EchoUdp(Socket s) {
    std::printf("port %d\n", PortOf(s));
    std::fflush(stdout);
    char buffer[1024];
    for (;;) {
        sockaddr_in from = {};
#ifdef _WIN32
        int n = sizeof from;
#else
        socklen_t n = sizeof from;
#endif
        int got = recvfrom(s, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &n);
        if (got < 0) return;
        sendto(s, buffer, got, 0, reinterpret_cast<sockaddr*>(&from), n);
    }
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
#endif
    bool tcp = argc > 1 && std::strcmp(argv[1], "tcp") == 0;
    Socket s = BoundSocket(tcp);
    if (tcp)
        EchoTcp(s);
    else
        EchoUdp(s);
    return 0;
}
