#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "sending/line_entry.h"
#include "sending/line_file_format.h"
#include "sending/line_notation.h"

namespace {

// A hand-written preset line: quoted text, then hex codes.
void BM_ParseLineNotation(benchmark::State& state) {
    const std::u16string line = u"\"STATUS?\"0D0A" + std::u16string(200, u'4');
    char16_t codes[kLineCodes];
    for (auto _ : state) benchmark::DoNotOptimize(ParseLineNotation(line, codes, kLineCodes));
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(line.size()));
}
BENCHMARK(BM_ParseLineNotation);

// Loading a full preset file of 200 lines of 255 codes.
void BM_ReadLineFile(benchmark::State& state) {
    auto table = std::make_unique<PresetTable>();
    for (LineEntry& entry : table->Lines()) {
        std::fill(entry.codes, entry.codes + 255, u'\x5A');
        entry.count = 255;
    }
    const std::string bytes = LineFileBytes(table->Lines());
    for (auto _ : state) benchmark::DoNotOptimize(ReadLineFileBytes(bytes, *table));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_ReadLineFile);

}  // namespace
