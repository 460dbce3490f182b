#include "runner/trace_lines.h"

#include <cstdio>

namespace {

std::string Elapsed(uint32_t ms) {
    char text[24];
    std::snprintf(text, sizeof text, "%6u.%03u", ms / 1000, ms % 1000);
    return text;
}

std::string Dotted(const uint8_t (&octets)[4]) {
    char text[20];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", octets[0], octets[1], octets[2], octets[3]);
    return text;
}

}  // namespace

std::string TraceBlockLine(uint32_t elapsedMs, bool received, const std::string& peer, const std::string& bytes) {
    std::string line = Elapsed(elapsedMs) + (received ? " READ " : " SEND ") + peer + " " +
                       std::to_string(bytes.size());
    std::string text;
    for (char c : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", static_cast<uint8_t>(c));
        line += hex;
        text += (c >= 0x20 && c < 0x7F) ? c : '.';
    }
    return line + " |" + text + "|";
}

TraceLineReader::TraceLineReader(std::string peer, std::function<void(const std::string&)> emit)
    : peer_(std::move(peer)), emit_(std::move(emit)) {}

void TraceLineReader::Feed(const TraceCell* cells, int32_t count, uint32_t elapsedMs) {
    for (int32_t i = 0; i < count; ++i) {
        const TraceCell& cell = cells[i];
        switch (cell.kind) {
        case Received:
        case Sent:
            if (!bytes_.empty() && cell.kind != kind_) EmitBlock(elapsedMs);
            kind_ = cell.kind;
            bytes_ += static_cast<char>(cell.value);
            break;
        case StampLabel:
            if (!bytes_.empty()) EmitBlock(elapsedMs);
            break;
        case ClientEvent:
        case FromAddress:
        case ToAddress:
            OnAddress(cell, elapsedMs);
            break;
        default:
            break;
        }
    }
}

void TraceLineReader::OnAddress(const TraceCell& cell, uint32_t elapsedMs) {
    int index = (cell.value - 1) % 10;  // values 1..4 or 11..14
    if (index < 0 || index > 3) return;
    if (index == 0) {
        if (addressReady_) {  // the last address had no data: an empty datagram
            kind_ = Received;
            EmitBlock(elapsedMs);
        }
        addressCells_ = 0;
        addressKind_ = cell.kind;
    }
    if (cell.kind != addressKind_ || index != addressCells_) return;  // a broken group is dropped
    octets_[addressCells_++] = cell.pos;
    if (addressCells_ < 4) return;
    addressCells_ = 0;
    if (addressKind_ == ClientEvent) {
        emit_(Elapsed(elapsedMs) + (cell.value >= 11 ? " CLOSE " : " OPEN ") + Dotted(octets_));
        return;
    }
    addressReady_ = true;
}

void TraceLineReader::EmitBlock(uint32_t elapsedMs) {
    std::string peer = addressReady_ ? Dotted(octets_) : peer_;
    emit_(TraceBlockLine(elapsedMs, kind_ == Received, peer, bytes_));
    bytes_.clear();
    addressReady_ = false;
}

void TraceLineReader::Flush(uint32_t elapsedMs) {
    if (!bytes_.empty() || addressReady_) {
        if (bytes_.empty()) kind_ = addressKind_ == ToAddress ? Sent : Received;
        EmitBlock(elapsedMs);
    }
}
