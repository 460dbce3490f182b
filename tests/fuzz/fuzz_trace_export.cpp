// Fuzzes the exports with arbitrary cells (a damaged or foreign trace file):
// no overrun, every data byte lands in exactly one block, and reading the
// cells in two pieces, as the capture does, gives the same items as reading
// them at once.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "trace/trace_export.h"

namespace {

std::string Items(const TraceCell* cells, int32_t count, int32_t split, size_t& bytes) {
    std::string out;
    bytes = 0;
    ExportEndpoints endpoints;
    TraceDecoder reader;
    TraceItemSink sink = [&](const TraceItem& item) {
        bytes += static_cast<size_t>(item.length);
        out += TextExportLine(item, endpoints);
    };
    reader.Feed(cells, split, sink);
    reader.Feed(cells + split, count - split, sink);
    reader.Finish(sink);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    int32_t count = static_cast<int32_t>((size - 1) / sizeof(TraceCell));
    std::vector<TraceCell> cells(static_cast<size_t>(count));
    if (count > 0) std::memcpy(cells.data(), data + 1, cells.size() * sizeof(TraceCell));
    size_t dataCells = 0;
    for (TraceCell& c : cells) {
        c.kind = static_cast<uint8_t>(c.kind % 10);  // mostly the kinds there are
        dataCells += c.kind == Received || c.kind == Sent;
    }
    int32_t split = count == 0 ? 0 : data[0] % (count + 1);
    size_t whole = 0, pieces = 0;
    if (Items(cells.data(), count, 0, whole) != Items(cells.data(), count, split, pieces)) __builtin_trap();
    if (whole != dataCells || pieces != dataCells) __builtin_trap();
    ExportEndpoints endpoints;
    endpoints.server = data[0] & 1;
    endpoints.tcp = data[0] & 2;
    for (ExportFormat f : {ExportFormat::Csv, ExportFormat::Pcap}) ExportTrace(cells.data(), count, f, endpoints);
    return 0;
}
