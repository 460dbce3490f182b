// Receive rates of the server modes from a loopback sender, and the CPU a
// connection costs while nothing arrives.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

#include <memory>

#include "common/app_settings.h"
#include "platform/sockets.h"
#include "session/session.h"
#include "support/recording_message_box.h"

namespace {

constexpr int kBlock = 1000;
constexpr int kBlocks = 90;  // 90,000 bytes: below the compaction threshold

// A session of a server on a free port of 127.0.0.1.
std::unique_ptr<Session> OpenServer(bool udp) {
    auto session = std::make_unique<Session>();
    AppSettings settings;
    settings.TipUdpMode = udp ? 1 : 0;
    settings.IpMode = 1;
    settings.BindMode = 1;
    settings.AdapterPort = 0;
    const int32_t loopback[4] = {127, 0, 0, 1};
    std::copy(loopback, loopback + 4, settings.AdapterIp);
    if (!AllocateTrace(session->Trace) || !OpenSession(*session, settings, nullptr)) return nullptr;
    return session;
}

Ipv4Endpoint ServerEndpoint(const Session& session) {
    Ipv4Endpoint local;
    LocalEndpoint(session.Connection.MainSocket.load(), local);
    return {Ipv4Address{{127, 0, 0, 1}}, local.port};
}

// Bytes recorded in the trace (data cells).
int64_t RecordedBytes(const TraceBuffer& trace) {
    std::vector<TraceCell> cells(kTraceCapacity);
    int32_t n = CopyTraceCells(trace, 0, kTraceCapacity, cells.data());
    int64_t bytes = 0;
    for (int32_t i = 0; i < n; ++i)
        if (cells[i].kind == Received) ++bytes;
    return bytes;
}

void WaitForBytes(const TraceBuffer& trace, int64_t bytes) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (RecordedBytes(trace) < bytes && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void ReceiveRate(benchmark::State& state, bool udp) {
    RecordingMessageBox boxes;
    SocketLibraryInfo info;
    SocketStartup(0x0202, info);
    std::unique_ptr<Session> session = OpenServer(udp);
    if (!session) {
        state.SkipWithError("open failed");
        return;
    }
    TraceBuffer& trace = session->Trace;
    Ipv4Endpoint server = ServerEndpoint(*session);
    std::vector<uint8_t> block(kBlock, 0x5A);
    int64_t lost = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ClearTrace(trace);
        SocketHandle sender = OpenSocket(!udp);
        if (!udp) ConnectSocket(sender, server);
        state.ResumeTiming();
        for (int i = 0; i < kBlocks; ++i) {
            if (udp) SendDatagram(sender, block.data(), kBlock, server);
            else SendOn(sender, block.data(), kBlock);
        }
        WaitForBytes(trace, int64_t(kBlock) * kBlocks);
        state.PauseTiming();
        lost += int64_t(kBlock) * kBlocks - RecordedBytes(trace);
        CloseSocket(sender);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kBlock * kBlocks);
    state.counters["bytes_lost"] = double(lost);
    CloseSession(*session, nullptr);
    SocketCleanup();
}

void BM_TcpServerReceive(benchmark::State& state) { ReceiveRate(state, false); }
void BM_UdpServerReceive(benchmark::State& state) { ReceiveRate(state, true); }
BENCHMARK(BM_TcpServerReceive)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UdpServerReceive)->Unit(benchmark::kMillisecond)->UseRealTime();

// CPU seconds the process spends per second of an idle open connection.
void BM_IdleConnectionCpu(benchmark::State& state) {
    RecordingMessageBox boxes;
    std::unique_ptr<Session> session = OpenServer(state.range(0) == 1);
    if (!session) {
        state.SkipWithError("open failed");
        return;
    }
    double cpu = 0;
    for (auto _ : state) {
        std::clock_t start = std::clock();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        cpu += double(std::clock() - start) / CLOCKS_PER_SEC;
    }
    state.counters["cpu_s_per_s"] = cpu / double(state.iterations());
    CloseSession(*session, nullptr);
}
BENCHMARK(BM_IdleConnectionCpu)->Arg(0)->Arg(1)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
