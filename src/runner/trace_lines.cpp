#include "runner/trace_lines.h"

#include <cstdio>

namespace {

std::string Elapsed(uint32_t ms) {
    char text[24];
    std::snprintf(text, sizeof text, "%6u.%03u", ms / 1000, ms % 1000);
    return text;
}

}  // namespace

std::string TraceItemLine(const TraceItem& item, uint32_t elapsedMs, const std::string& peer) {
    if (item.type != TraceItem::Block)
        return Elapsed(elapsedMs) + (item.type == TraceItem::Close ? " CLOSE " : " OPEN ") + DottedText(item.address);
    std::string line = Elapsed(elapsedMs) + (item.kind == Received ? " READ " : " SEND ") +
                       (item.hasAddress ? DottedText(item.address) : peer) + " " + std::to_string(item.length);
    std::string text;
    for (int32_t i = 0; i < item.length; ++i) {
        uint8_t c = item.bytes[i];
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", c);
        line += hex;
        text += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
    }
    return line + " |" + text + "|";
}

TraceLineWriter::TraceLineWriter(std::string peer, std::function<void(const std::string&)> emit)
    : peer_(std::move(peer)), emit_(std::move(emit)) {}

void TraceLineWriter::Emit(const TraceItem& item, uint32_t elapsedMs) { emit_(TraceItemLine(item, elapsedMs, peer_)); }

void TraceLineWriter::Feed(const TraceCell* cells, int32_t count, uint32_t elapsedMs) {
    decoder_.Feed(cells, count, [&](const TraceItem& item) { Emit(item, elapsedMs); });
}

void TraceLineWriter::Flush(uint32_t elapsedMs) {
    decoder_.Finish([&](const TraceItem& item) { Emit(item, elapsedMs); });
}
