// The cost of one macro step: a tick that runs one line of a looping macro,
// by kind of line, and the data notation on its own.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "macro/macro_data.h"
#include "macro/macro_runner.h"
#include "platform/message_box.h"

namespace {

class BenchHost : public MacroHost {
public:
    int32_t Send(const uint8_t* bytes, int32_t length, int32_t) override {
        benchmark::DoNotOptimize(bytes[length > 0 ? length - 1 : 0]);
        return 0;
    }
    void MarkReceived() override {}
    bool FirstReceivedSince(int32_t, ReceivedBlock&) override { return false; }
    bool LatestReceivedSince(ReceivedBlock&) override { return false; }
    void StampTrace() override {}
    const TickClock& Clock() override { return clock; }
    bool LowerCaseHex() override { return false; }
    bool FaultsInJapanese() override { return false; }
    ManualTickClock clock{0};
};

// A two-line loop: the line under test, then a jump back over a label.
void BM_MacroStep(benchmark::State& state, const char16_t* line) {
    auto run = std::make_unique<MacroRun>();
    auto registers = std::make_unique<MacroRegisters>();
    BenchHost host;
    std::u16string text = u"\xFEFF:top\r\n";
    text += line;
    text += u"\r\nGOTO top\r\n";
    BeginMacro(*run, text.data(), static_cast<int32_t>(text.size()), nullptr);
    for (auto _ : state) {
        if (RunMacroStep(*run, *registers, host) == MacroStepResult::Ended) state.SkipWithError("macro ended");
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK_CAPTURE(BM_MacroStep, send, u"SEND 'ABCDEFGH'0D0A");
BENCHMARK_CAPTURE(BM_MacroStep, move_long, u"MOVE 01 '0123456789012345678901234567890123456789'0D0A");
BENCHMARK_CAPTURE(BM_MacroStep, compare, u"CMPL 01 top 'ABC'");
BENCHMARK_CAPTURE(BM_MacroStep, count_up, u"MINC 02");
BENCHMARK_CAPTURE(BM_MacroStep, comment, u"; a comment line that is passed over");

void BM_MacroDataToBytes(benchmark::State& state) {
    std::u16string text = u"'" + std::u16string(120, u'x') + u"'" + std::u16string(128, u'A');
    uint8_t out[kMacroDataMax];
    for (auto _ : state) benchmark::DoNotOptimize(MacroDataToBytes(text, out, kMacroDataMax));
}
BENCHMARK(BM_MacroDataToBytes);

}  // namespace
