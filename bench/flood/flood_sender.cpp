// The other side of the receive-flood benchmark, run natively:
//   flood_sender udp PORT COUNT SIZE RATE   (RATE datagrams/s, 0: as fast as it goes)
//   flood_sender tcp PORT BYTES             (one stream, then an orderly close)
// to 127.0.0.1. Prints what it sent and how fast.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in Loopback(int port) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(static_cast<uint16_t>(port));
    return to;
}

int Udp(int port, long count, int size, long rate) {
    int s = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to = Loopback(port);
    std::vector<char> payload(static_cast<size_t>(size), 'x');
    auto start = Clock::now();
    for (long i = 0; i < count; ++i) {
        if (rate > 0) {
            auto due = start + std::chrono::nanoseconds(i * 1000000000LL / rate);
            while (Clock::now() < due) {
            }
        }
        std::memcpy(payload.data(), &i, sizeof i < payload.size() ? sizeof i : payload.size());
        sendto(s, payload.data(), payload.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("sent %ld datagrams in %.4f s (%.0f/s)\n", count, seconds, count / seconds);
    close(s);
    return 0;
}

int Tcp(int port, long long bytes) {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to = Loopback(port);
    if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) return 1;
    std::vector<char> chunk(65536, 'y');
    long long left = bytes;
    while (left > 0) {
        ssize_t n = send(s, chunk.data(), static_cast<size_t>(left < 65536 ? left : 65536), 0);
        if (n <= 0) return 1;
        left -= n;
    }
    shutdown(s, SHUT_WR);
    char sink[256];
    while (recv(s, sink, sizeof sink, 0) > 0) {
    }
    close(s);
    std::printf("sent %lld bytes\n", bytes);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string kind = argc > 1 ? argv[1] : "";
    if (kind == "udp" && argc == 6) return Udp(std::atoi(argv[2]), std::atol(argv[3]), std::atoi(argv[4]), std::atol(argv[5]));
    if (kind == "tcp" && argc == 4) return Tcp(std::atoi(argv[2]), std::atoll(argv[3]));
    std::fprintf(stderr, "usage: flood_sender udp PORT COUNT SIZE RATE | tcp PORT BYTES\n");
    return 64;
}
