#include "runner/trace_lines.h"

#include <cstdio>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

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
    // A flood prints millions of these: a table, not a call per byte.
    size_t hexAt = line.size();
    line.resize(hexAt + 3 * static_cast<size_t>(item.length) + 2 + static_cast<size_t>(item.length) + 1);
    char* hex = &line[hexAt];
    char* text = hex + 3 * item.length + 2;
    for (int32_t i = 0; i < item.length; ++i) {
        uint8_t c = item.bytes[i];
        hex[3 * i] = ' ';
        hex[3 * i + 1] = kHexDigits[c >> 4];
        hex[3 * i + 2] = kHexDigits[c & 15];
        text[i] = (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
    }
    text[-2] = ' ';
    text[-1] = '|';
    text[item.length] = '|';
    return line;
}

std::string PeerSummaryLine(uint32_t elapsedMs, const PeerCount& count, bool datagrams) {
    std::string peer = count.peer.address.IsAny() ? "others"
                                                   : DottedText(count.peer.address) + ":" + std::to_string(count.peer.port);
    return Elapsed(elapsedMs) + " PEER " + peer + " " + std::to_string(count.blocks) +
           (datagrams ? " datagrams " : " blocks ") + std::to_string(count.bytes) + " bytes";
}

std::string TraceSkipLine(uint32_t elapsedMs, const TraceTraffic& skipped) {
    return Elapsed(elapsedMs) + " SKIP " + std::to_string(skipped.Blocks) + " blocks " +
           std::to_string(skipped.Bytes) + " bytes";
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
