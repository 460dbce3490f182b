#include "support/trace_checker.h"

#include <sstream>

namespace {

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

TraceCheck Fail(TraceCheck result, size_t i, const char* what) {
    std::ostringstream s;
    s << "cell " << i << ": " << what;
    result.error = s.str();
    return result;
}

// Checks the trailer at i; returns its stamp or -1.
int Trailer(const std::vector<TraceCell>& c, size_t i) {
    if (i + 2 >= c.size()) return -1;
    if (c[i].kind != StampLabel || c[i].value != 't' || c[i].value2 != '=') return -1;
    if (c[i + 1].kind != StampHigh || c[i + 2].kind != StampLow) return -1;
    const uint8_t d[4] = {c[i + 1].value, c[i + 1].value2, c[i + 2].value, c[i + 2].value2};
    int tenths = 0;
    for (uint8_t x : d) {
        if (!IsDigit(x)) return -1;
        tenths = tenths * 10 + (x - '0');
    }
    return tenths;
}

bool AddressQuad(const std::vector<TraceCell>& c, size_t i, uint8_t kind) {
    if (i + 3 >= c.size()) return false;
    uint8_t first = c[i].value;
    if (first != 1 && first != 11) return false;
    for (size_t k = 0; k < 4; ++k)
        if (c[i + k].kind != kind || c[i + k].value != first + k) return false;
    return true;
}

}  // namespace

TraceCheck CheckTrace(const std::vector<TraceCell>& c, bool startsMidUnit) {
    TraceCheck result;
    size_t i = 0;
    if (startsMidUnit) {
        while (i < c.size() && c[i].kind != StampLow) ++i;
        ++i;
    }
    while (i < c.size()) {
        uint8_t kind = c[i].kind;
        if (kind == ClientEvent) {
            if (!AddressQuad(c, i, ClientEvent)) return Fail(std::move(result), i, "broken client event");
            i += 4;
            continue;
        }
        bool addressed = false;
        if (kind == FromAddress || kind == ToAddress) {
            if (!AddressQuad(c, i, kind)) return Fail(std::move(result), i, "broken address cells");
            i += 4;
            ++result.addressUnits;
            addressed = true;
            if (i == c.size() || (c[i].kind != Received && c[i].kind != Sent)) continue;  // empty datagram
            kind = c[i].kind;
        }
        if (kind != Received && kind != Sent) return Fail(std::move(result), i, "unexpected cell kind");
        TraceBlock block{static_cast<TraceCellKind>(kind), {}, 0, addressed};
        for (; i < c.size() && c[i].kind == kind; ++i) {
            if (c[i].pos != (block.bytes.size() & 0xFF)) return Fail(std::move(result), i, "position out of order");
            block.bytes.push_back(c[i].value);
        }
        block.stampTenths = Trailer(c, i);
        if (block.stampTenths < 0) return Fail(std::move(result), i, "block without a trailer");
        i += 3;
        result.blocks.push_back(std::move(block));
    }
    return result;
}

std::vector<TraceCell> SnapshotTrace(const TraceBuffer& trace) {
    std::vector<TraceCell> cells(kTraceCapacity);
    cells.resize(static_cast<size_t>(CopyTraceCells(trace, 0, kTraceCapacity, cells.data())));
    return cells;
}
