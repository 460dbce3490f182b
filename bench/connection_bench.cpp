// Receive rates of the server modes from a loopback sender, and the CPU a
// connection costs while nothing arrives.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

#include "common/app_settings.h"
#include "connection/connection.h"
#include "platform/sockets.h"
#include "support/recording_message_box.h"
#include "trace/trace_buffer.h"

namespace {

constexpr int kBlock = 1000;
constexpr int kBlocks = 90;  // 90,000 bytes: below the compaction threshold

void UseServer(bool udp) {
    g_Settings = AppSettings{};
    g_Settings.TipUdpMode = udp ? 1 : 0;
    g_Settings.IpMode = 1;
    g_Settings.BindMode = 1;
    g_Settings.AdapterPort = 0;
    const int32_t loopback[4] = {127, 0, 0, 1};
    std::copy(loopback, loopback + 4, g_Settings.AdapterIp);
}

Ipv4Endpoint ServerEndpoint() {
    Ipv4Endpoint local;
    LocalEndpoint(g_Connection.MainSocket.load(), local);
    const int32_t loopback[4] = {127, 0, 0, 1};
    Ipv4Endpoint e = MakeEndpoint(loopback, local.port);
    return e;
}

// Bytes recorded in the trace (data cells).
int64_t RecordedBytes() {
    std::vector<TraceCell> cells(kTraceCapacity);
    int32_t n = CopyTraceCells(g_Trace, 0, kTraceCapacity, cells.data());
    int64_t bytes = 0;
    for (int32_t i = 0; i < n; ++i)
        if (cells[i].kind == Received) ++bytes;
    return bytes;
}

void WaitForBytes(int64_t bytes) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (RecordedBytes() < bytes && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void ReceiveRate(benchmark::State& state, bool udp) {
    RecordingMessageBox boxes;
    SocketLibraryInfo info;
    SocketStartup(0x0202, info);
    AllocateTrace(g_Trace);
    UseServer(udp);
    if (!OpenConnection(nullptr)) {
        state.SkipWithError("open failed");
        return;
    }
    std::vector<uint8_t> block(kBlock, 0x5A);
    int64_t lost = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ClearTrace(g_Trace);
        SocketHandle sender = OpenSocket(!udp);
        if (!udp) ConnectSocket(sender, ServerEndpoint());
        state.ResumeTiming();
        for (int i = 0; i < kBlocks; ++i) {
            if (udp) SendDatagram(sender, block.data(), kBlock, ServerEndpoint());
            else SendOn(sender, block.data(), kBlock);
        }
        WaitForBytes(int64_t(kBlock) * kBlocks);
        state.PauseTiming();
        lost += int64_t(kBlock) * kBlocks - RecordedBytes();
        CloseSocket(sender);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kBlock * kBlocks);
    state.counters["bytes_lost"] = double(lost);
    CloseConnection(nullptr);
    SocketCleanup();
}

void BM_TcpServerReceive(benchmark::State& state) { ReceiveRate(state, false); }
void BM_UdpServerReceive(benchmark::State& state) { ReceiveRate(state, true); }
BENCHMARK(BM_TcpServerReceive)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UdpServerReceive)->Unit(benchmark::kMillisecond)->UseRealTime();

// CPU seconds the process spends per second of an idle open connection.
void BM_IdleConnectionCpu(benchmark::State& state) {
    RecordingMessageBox boxes;
    AllocateTrace(g_Trace);
    UseServer(state.range(0) == 1);
    if (!OpenConnection(nullptr)) {
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
    CloseConnection(nullptr);
}
BENCHMARK(BM_IdleConnectionCpu)->Arg(0)->Arg(1)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
