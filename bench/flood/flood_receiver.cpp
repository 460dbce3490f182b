// One side of the receive-flood benchmark: a reader that prints the port it
// listens on, takes one flood from bench/flood/flood_sender and prints what
// it got. Built for Windows (run under Wine) and natively.
//
//   flood_receiver bare-udp [BUFFER] | udp-server | udp-client | bare-tcp | tcp-server
//
// "bare-*" is the baseline: a plain loop of blocking receive calls into a
// counter, 1,023 bytes a call as the program takes them; BUFFER is the
// receive buffer a bare UDP reader asks for (default: the system's). The others open the
// program's real connection (its open, receive thread and trace buffer) and
// count what the trace recorded. Output:
//   port N
//   result count=DATAGRAMS bytes=BYTES seconds=S
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#endif

#include "common/app_settings.h"
#include "session/session.h"
#include "platform/sockets.h"
#include "support/recording_message_box.h"
#include "trace/trace_buffer.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kIdleEndMs = 1500;  // a UDP flood has ended when nothing came for this long

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

void PrintPort(int port) {
    std::printf("port %d\n", port);
    std::fflush(stdout);
}

void PrintResult(long long count, long long bytes, double seconds) {
    std::printf("result count=%lld bytes=%lld seconds=%.4f\n", count, bytes, seconds);
    std::fflush(stdout);
}

// ---- the bare baseline: plain socket calls ----

#ifdef _WIN32
using RawSocket = SOCKET;
void SetReceiveTimeout(RawSocket s, int ms) {
    DWORD value = static_cast<DWORD>(ms);
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&value), sizeof value);
}
void CloseRaw(RawSocket s) { closesocket(s); }
#else
using RawSocket = int;
void SetReceiveTimeout(RawSocket s, int ms) {
    timeval value{ms / 1000, (ms % 1000) * 1000};
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &value, sizeof value);
}
void CloseRaw(RawSocket s) { close(s); }
#endif

RawSocket BoundLoopbackSocket(int type, int& port) {
    RawSocket s = socket(AF_INET, type, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local);
    socklen_t length = sizeof local;
    getsockname(s, reinterpret_cast<sockaddr*>(&local), &length);
    port = ntohs(local.sin_port);
    return s;
}

int BareUdp(int receiveBuffer) {
    int port = 0;
    RawSocket s = BoundLoopbackSocket(SOCK_DGRAM, port);
    if (receiveBuffer > 0) {
        setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer), sizeof receiveBuffer);
    }
    PrintPort(port);
    char buffer[1024];
    long long count = 0, bytes = 0;
    Clock::time_point first{}, last{};
    SetReceiveTimeout(s, 30000);  // until the first datagram
    for (;;) {
        sockaddr_in from{};
        socklen_t length = sizeof from;
        int n = recvfrom(s, buffer, 1023, 0, reinterpret_cast<sockaddr*>(&from), &length);
        if (n < 0) break;
        last = Clock::now();
        if (count++ == 0) {
            first = last;
            SetReceiveTimeout(s, kIdleEndMs);
        }
        bytes += n;
    }
    CloseRaw(s);
    PrintResult(count, bytes, count ? Seconds(first, last) : 0);
    return 0;
}

int BareTcp() {
    int port = 0;
    RawSocket listener = BoundLoopbackSocket(SOCK_STREAM, port);
    listen(listener, 1);
    PrintPort(port);
    RawSocket s = accept(listener, nullptr, nullptr);
    char buffer[1024];
    long long count = 0, bytes = 0;
    Clock::time_point first{};
    int n;
    while ((n = recv(s, buffer, 1023, 0)) > 0) {
        if (count++ == 0) first = Clock::now();
        bytes += n;
    }
    double seconds = Seconds(first, Clock::now());
    CloseRaw(s);
    CloseRaw(listener);
    PrintResult(count, bytes, seconds);
    return 0;
}

// ---- the program's own connection ----

// Blocks and bytes the trace holds (the flood sizes stay below compaction
// for UDP; TCP is measured by time to the client's close instead).
void CountTrace(const TraceBuffer& trace, long long& blocks, long long& bytes) {
    static std::vector<TraceCell> cells(kTraceCapacity);
    int32_t n = CopyTraceCells(trace, 0, kTraceCapacity, cells.data());
    blocks = bytes = 0;
    for (int32_t i = 0; i < n; ++i) {
        if (cells[i].kind == Received) ++bytes;
        if (cells[i].kind == StampLabel) ++blocks;
    }
}

bool OpenProgramConnection(Session& session, bool udp, bool server) {
    AppSettings settings;
    settings.TipUdpMode = udp ? 1 : 0;
    settings.IpMode = server ? 1 : 0;
    settings.BindMode = 1;
    settings.AdapterPort = 0;
    settings.AccessPort = 9;  // a UDP client sends nowhere in this benchmark
    const int32_t loopback[4] = {127, 0, 0, 1};
    std::copy(loopback, loopback + 4, settings.AdapterIp);
    std::copy(loopback, loopback + 4, settings.AccessIp);
    if (!AllocateTrace(session.Trace) || !OpenSession(session, settings, nullptr)) return false;
    Ipv4Endpoint local;
    LocalEndpoint(session.Connection.MainSocket.load(), local);
    PrintPort(local.port);
    return true;
}

int ProgramUdp(bool server) {
    RecordingMessageBox boxes;  // no boxes on screen
    auto session = std::make_unique<Session>();
    if (!OpenProgramConnection(*session, true, server)) return 1;
    long long blocks = 0, bytes = 0, seen = 0;
    Clock::time_point first{}, last = Clock::now();
    auto deadline = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        CountTrace(session->Trace, blocks, bytes);
        if (blocks != seen) {
            if (seen == 0) first = Clock::now();
            seen = blocks;
            last = Clock::now();
        } else if (seen > 0 && Clock::now() - last > std::chrono::milliseconds(kIdleEndMs)) {
            break;
        }
    }
    CloseSession(*session, nullptr);
    PrintResult(blocks, bytes, seen ? Seconds(first, last) : 0);
    return 0;
}

int ProgramTcpServer() {
    RecordingMessageBox boxes;
    auto session = std::make_unique<Session>();
    if (!OpenProgramConnection(*session, false, true)) return 1;
    // Polls of 1 ms: shorter sleeps turn into busy loops under Wine and take
    // the receive thread's processor.
    auto poll = [] { std::this_thread::sleep_for(std::chrono::milliseconds(1)); };
    while (TraceCount(session->Trace) == 0) poll();
    Clock::time_point first = Clock::now();
    // The client's open event is in; the flood has ended when its slot is free again.
    while (ConnectedClientCount(session->Connection) == 0) poll();
    while (ConnectedClientCount(session->Connection) > 0) poll();
    double seconds = Seconds(first, Clock::now());
    CloseSession(*session, nullptr);
    PrintResult(0, -1, seconds);  // the sender knows the bytes
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: flood_receiver bare-udp|udp-server|udp-client|bare-tcp|tcp-server\n");
        return 64;
    }
    SocketLibraryInfo info;
    SocketStartup(0x0202, info);
    std::string reader = argv[1];
    if (reader == "bare-udp") return BareUdp(argc > 2 ? std::atoi(argv[2]) : 0);
    if (reader == "bare-tcp") return BareTcp();
    if (reader == "udp-server") return ProgramUdp(true);
    if (reader == "udp-client") return ProgramUdp(false);
    if (reader == "tcp-server") return ProgramTcpServer();
    std::fprintf(stderr, "unknown reader %s\n", argv[1]);
    return 64;
}
