#include "trace/trace_export.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <memory>
#include <new>

#include "common/app_settings.h"
#include "common/control_mnemonic.h"
#include "common/connection_mode.h"
#include "platform/files.h"
#include "platform/text.h"
#include "trace/trace_file.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The text of one byte in PrintableText: up to four characters.
struct ByteText {
    char text[4] = {};
    uint8_t length = 0;
};

ByteText TextOfByte(uint8_t b) {
    ByteText t;
    auto put = [&t](char c) { t.text[t.length++] = c; };
    if (b == ' ') {
        put(' ');
    } else if (b < 0x20 || b == 0x7F) {
        char16_t name[2];
        ControlMnemonic(b, name);
        put('<');
        put(static_cast<char>(name[0]));
        put(static_cast<char>(name[1]));
        put('>');
    } else if (b >= 0x80 && b < 0xA0) {
        put('<');
        put(kHexDigits[b >> 4]);
        put(kHexDigits[b & 15]);
        put('>');
    } else if (b < 0x80) {
        put(static_cast<char>(b));
    } else {  // the Latin-1 character of the same code, in UTF-8
        put(static_cast<char>(0xC0 | (b >> 6)));
        put(static_cast<char>(0x80 | (b & 0x3F)));
    }
    return t;
}

// Built once: a flood's export formats every byte it brings.
const std::array<ByteText, 256>& TextsOfBytes() {
    static const auto texts = [] {
        std::array<ByteText, 256> table;
        for (int b = 0; b < 256; ++b) table[b] = TextOfByte(static_cast<uint8_t>(b));
        return table;
    }();
    return texts;
}

// The printable text of a block: control bytes by the names the trace grid
// shows ("<CR>"), the space as a space, bytes 128..255 as the characters of
// the same code (as the grid), except the invisible 128..159 as "<80>".
// keepLineBreaks leaves CR, LF and tab as they are (CSV cells hold them).
std::string PrintableText(const uint8_t* bytes, int32_t length, bool keepLineBreaks) {
    if (length <= 0) return std::string();
    const auto& texts = TextsOfBytes();
    std::string out(static_cast<size_t>(length) * 4, '\0');  // four characters a byte at most
    size_t n = 0;
    for (int32_t i = 0; i < length; ++i) {
        uint8_t b = bytes[i];
        if (keepLineBreaks && (b == '\r' || b == '\n' || b == '\t')) {
            out[n++] = static_cast<char>(b);
            continue;
        }
        std::memcpy(&out[n], texts[b].text, 4);
        n += texts[b].length;
    }
    out.resize(n);
    return out;
}

std::string HexBytes(const uint8_t* bytes, int32_t length) {
    if (length <= 0) return std::string();
    std::string out(static_cast<size_t>(length) * 3 - 1, ' ');
    for (int32_t i = 0; i < length; ++i) {
        out[3 * i] = kHexDigits[bytes[i] >> 4];
        out[3 * i + 1] = kHexDigits[bytes[i] & 15];
    }
    return out;
}

std::string Seconds(uint64_t ms) { return std::to_string(ms / 1000) + "." + std::to_string(ms / 100 % 10); }

std::string ItemWord(const TraceItem& item) {
    switch (item.type) {
    case TraceItem::Open:
        return "OPEN";
    case TraceItem::Close:
        return "CLOSE";
    default:
        return item.kind == Sent ? "SEND" : "RECV";
    }
}

// The peer of an item: its address cells, else (client modes) the access
// point, unless that is unknown.
std::string PeerText(const TraceItem& item, const ExportEndpoints& endpoints) {
    if (item.hasAddress) return DottedText(item.address);
    if (!endpoints.server && !endpoints.remoteAddress.IsAny()) return DottedText(endpoints.remoteAddress);
    return std::string();
}

std::string PadLeft(std::string s, size_t width) { return s.size() < width ? std::string(width - s.size(), ' ') + s : s; }
std::string PadRight(std::string s, size_t width) { return s.size() < width ? s + std::string(width - s.size(), ' ') : s; }

// A cell that starts like a formula (=, +, -, @, or a tab or carriage
// return before one) gets a leading apostrophe, so that a spreadsheet shows
// the peer's bytes instead of running them.
std::string CsvField(std::string field) {
    constexpr std::string_view kFormulaStarts = "=+-@\t\r";
    if (!field.empty() && kFormulaStarts.find(field[0]) != std::string_view::npos) field.insert(0, 1, '\'');
    if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
    std::string out = "\"";
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

void Put16(std::string& out, uint16_t v) {
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v & 0xFF);
}

void Put32(std::string& out, uint32_t v) {
    Put16(out, static_cast<uint16_t>(v >> 16));
    Put16(out, static_cast<uint16_t>(v));
}

void PutLe32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void PutLe16(std::string& out, uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

// The one's-complement sum of the Internet checksum, over bytes taken as
// big-endian 16-bit words.
uint32_t SumWords(const uint8_t* p, size_t n, uint32_t sum = 0) {
    for (size_t i = 0; i + 1 < n; i += 2) sum += static_cast<uint32_t>(p[i] << 8 | p[i + 1]);
    if (n & 1) sum += static_cast<uint32_t>(p[n - 1] << 8);
    return sum;
}

uint16_t FoldChecksum(uint32_t sum) {
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint16_t>(~sum & 0xFFFF);
}

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

void SetChecksum(std::string& s, size_t at, uint16_t value) {
    s[at] = static_cast<char>(value >> 8);
    s[at + 1] = static_cast<char>(value & 0xFF);
}

constexpr uint8_t kTcpFin = 0x01, kTcpSyn = 0x02, kTcpPsh = 0x08, kTcpAck = 0x10;
constexpr uint8_t kProtocolTcp = 6, kProtocolUdp = 17;
constexpr uint32_t kPcapLinkRaw = 101;
constexpr uint32_t kLocalIsn = 0x10000000, kRemoteIsn = 0x20000000;

}  // namespace

ExportFormat ExportFormatForPath(std::u16string_view path) {
    auto endsWith = [&](std::u16string_view tail) {
        return path.size() >= tail.size() && EqualsIgnoreAsciiCase(path.substr(path.size() - tail.size()), tail);
    };
    if (endsWith(u".csv")) return ExportFormat::Csv;
    if (endsWith(u".pcap")) return ExportFormat::Pcap;
    return ExportFormat::Text;
}

bool ExportFormatByName(std::string_view name, ExportFormat& format) {
    if (name == "text") format = ExportFormat::Text;
    else if (name == "csv") format = ExportFormat::Csv;
    else if (name == "pcap") format = ExportFormat::Pcap;
    else return false;
    return true;
}

ExportEndpoints ExportEndpointsFrom(const AppSettings& settings, uint32_t startSeconds) {
    ExportEndpoints e;
    e.tcp = IsTcpMode(ModeOf(settings));
    e.server = IsServerMode(ModeOf(settings));
    e.localAddress = Ipv4FromNumbers(settings.AdapterIp);
    e.remoteAddress = Ipv4FromNumbers(settings.AccessIp);
    e.localPort = static_cast<uint16_t>(settings.AdapterPort);
    e.remotePort = static_cast<uint16_t>(settings.AccessPort);
    e.startSeconds = startSeconds;
    return e;
}

std::string TextExportLine(const TraceItem& item, const ExportEndpoints& endpoints) {
    std::string line;
    line.reserve(48 + static_cast<size_t>(item.length) * 7);  // no growing on the way
    line += PadLeft(Seconds(item.ms), 8);
    line += ' ';
    line += PadRight(ItemWord(item), 5);
    line += ' ';
    if (item.type == TraceItem::Block) {
        line += PadRight(PeerText(item, endpoints), 15);
        line += ' ';
        line += PadLeft(std::to_string(item.length), 5);
        line += "  ";
        line += HexBytes(item.bytes, item.length);
        line += "  ";
        line += PrintableText(item.bytes, item.length, false);
    } else {
        line += PeerText(item, endpoints);
    }
    line += '\n';
    return line;
}

std::string CsvExportHeader() { return "\xEF\xBB\xBFtime,event,peer,length,hex,text\r\n"; }

std::string CsvExportRow(const TraceItem& item, const ExportEndpoints& endpoints) {
    bool block = item.type == TraceItem::Block;
    std::string row = Seconds(item.ms) + "," + ItemWord(item) + "," + PeerText(item, endpoints) + ",";
    if (block) {
        row += std::to_string(item.length) + "," + HexBytes(item.bytes, item.length) + "," +
               CsvField(PrintableText(item.bytes, item.length, true));
    } else {
        row += ",,";
    }
    row += "\r\n";
    return row;
}

PcapWriter::PcapWriter(const ExportEndpoints& endpoints) : endpoints_(endpoints) {}

std::string PcapWriter::FileHeader() {
    std::string out;
    PutLe32(out, 0xA1B2C3D4);
    PutLe16(out, 2);
    PutLe16(out, 4);
    PutLe32(out, 0);       // time zone: the stamps are UTC
    PutLe32(out, 0);       // accuracy
    PutLe32(out, 65535);   // snapshot length
    PutLe32(out, kPcapLinkRaw);
    return out;
}

void PcapWriter::Packet(const Ipv4Address& src, const Ipv4Address& dst, uint8_t protocol,
                       const std::string& transportIn, uint64_t ms, std::string& out) {
    std::string transport = transportIn;
    // The transport checksum covers a pseudo header of the addresses,
    // the protocol and the length.
    uint32_t sum =
        SumWords(src.octets, 4, SumWords(dst.octets, 4)) + protocol + static_cast<uint32_t>(transport.size());
    SetChecksum(transport, protocol == kProtocolTcp ? 16 : 6, 0);
    uint16_t check = FoldChecksum(SumWords(Bytes(transport), transport.size(), sum));
    if (protocol == kProtocolUdp && check == 0) check = 0xFFFF;
    SetChecksum(transport, protocol == kProtocolTcp ? 16 : 6, check);

    std::string ip;
    ip += '\x45';
    ip += '\0';
    Put16(ip, static_cast<uint16_t>(20 + transport.size()));
    Put16(ip, ipId_++);
    Put16(ip, 0x4000);  // don't fragment
    ip += '\x40';        // TTL 64
    ip += static_cast<char>(protocol);
    Put16(ip, 0);
    ip.append(reinterpret_cast<const char*>(src.octets), 4);
    ip.append(reinterpret_cast<const char*>(dst.octets), 4);
    SetChecksum(ip, 10, FoldChecksum(SumWords(Bytes(ip), ip.size())));

    uint32_t length = static_cast<uint32_t>(ip.size() + transport.size());
    uint64_t micros = uint64_t(endpoints_.startMicros) + ms % 1000 * 1000;
    PutLe32(out, endpoints_.startSeconds + static_cast<uint32_t>(ms / 1000 + micros / 1000000));
    PutLe32(out, static_cast<uint32_t>(micros % 1000000));
    PutLe32(out, length);
    PutLe32(out, length);
    out += ip;
    out += transport;
    ++packets_;
}

void PcapWriter::Segment(Connection& c, bool fromLocal, uint8_t flags, const uint8_t* data, int32_t length,
                         uint64_t ms, std::string& out) {
    uint16_t localPort = endpoints_.localPort;
    uint16_t srcPort = fromLocal ? localPort : c.port, dstPort = fromLocal ? c.port : localPort;
    uint32_t& seq = fromLocal ? c.localSeq : c.remoteSeq;
    uint32_t ack = fromLocal ? c.remoteSeq : c.localSeq;
    std::string tcp;
    Put16(tcp, srcPort);
    Put16(tcp, dstPort);
    Put32(tcp, seq);
    Put32(tcp, (flags & kTcpAck) ? ack : 0);
    tcp += '\x50';  // 20-byte header
    tcp += static_cast<char>(flags);
    Put16(tcp, 65535);
    Put16(tcp, 0);
    Put16(tcp, 0);
    tcp.append(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
    seq += static_cast<uint32_t>(length) + ((flags & (kTcpSyn | kTcpFin)) ? 1 : 0);
    if (fromLocal) Packet(endpoints_.localAddress, c.address, kProtocolTcp, tcp, ms, out);
    else Packet(c.address, endpoints_.localAddress, kProtocolTcp, tcp, ms, out);
}

PcapWriter::Connection* PcapWriter::Open(const Ipv4Address& address, uint16_t port) {
    for (auto it = connections_.rbegin(); it != connections_.rend(); ++it)
        if (it->open && it->address == address && (port == 0 || it->port == port)) return &*it;
    return nullptr;
}

uint16_t PcapWriter::MadeUpPort() {
    for (;;) {
        uint16_t port = nextClientPort_;
        nextClientPort_ = nextClientPort_ == 65535 ? 49152 : nextClientPort_ + 1;
        bool taken = false;
        for (const Connection& c : connections_) taken = taken || (c.open && c.port == port);
        if (!taken) return port;
    }
}

PcapWriter::Connection& PcapWriter::Connect(const Ipv4Address& address, uint16_t port, uint64_t ms,
                                            std::string& out) {
    Connection c{};
    c.address = address;
    c.port = port;
    c.localSeq = kLocalIsn;
    c.remoteSeq = kRemoteIsn;
    c.open = true;
    std::erase_if(connections_, [](const Connection& old) { return !old.open; });
    connections_.push_back(c);
    Connection& added = connections_.back();
    // The side that connects sends the SYN: the peer when we are the server.
    bool localConnects = !endpoints_.server;
    Segment(added, localConnects, kTcpSyn, nullptr, 0, ms, out);
    Segment(added, !localConnects, kTcpSyn | kTcpAck, nullptr, 0, ms, out);
    Segment(added, localConnects, kTcpAck, nullptr, 0, ms, out);
    return added;
}

void PcapWriter::Close(Connection& c, uint64_t ms, std::string& out) {
    Segment(c, false, kTcpFin | kTcpAck, nullptr, 0, ms, out);
    Segment(c, true, kTcpFin | kTcpAck, nullptr, 0, ms, out);
    Segment(c, false, kTcpAck, nullptr, 0, ms, out);
    c.open = false;
}

PcapWriter::Connection& PcapWriter::ConnectionFor(const TraceItem& item, std::string& out) {
    if (!endpoints_.server) {
        Connection* c = Open(endpoints_.remoteAddress, endpoints_.remotePort);
        return c ? *c : Connect(endpoints_.remoteAddress, endpoints_.remotePort, item.ms, out);
    }
    Connection* c = Open(item.address, item.port);
    return c ? *c : Connect(item.address, item.port ? item.port : MadeUpPort(), item.ms, out);
}

void PcapWriter::Datagram(const TraceItem& item, std::string& out) {
    // Address cells name the peer in every mode: a client's answers to a
    // broadcast or a group come from others than its access point.
    const Ipv4Address& peer = item.hasAddress ? item.address : endpoints_.remoteAddress;
    uint16_t peerPort = item.hasAddress && item.port ? item.port : endpoints_.remotePort;
    bool fromLocal = item.kind == Sent;
    std::string udp;
    Put16(udp, fromLocal ? endpoints_.localPort : peerPort);
    Put16(udp, fromLocal ? peerPort : endpoints_.localPort);
    Put16(udp, static_cast<uint16_t>(8 + item.length));
    Put16(udp, 0);
    udp.append(reinterpret_cast<const char*>(item.bytes), static_cast<size_t>(item.length));
    if (fromLocal) Packet(endpoints_.localAddress, peer, kProtocolUdp, udp, item.ms, out);
    else Packet(peer, endpoints_.localAddress, kProtocolUdp, udp, item.ms, out);
}

void PcapWriter::Item(const TraceItem& item, std::string& out) {
    if (!endpoints_.tcp) {
        if (item.type == TraceItem::Block) Datagram(item, out);
        return;
    }
    switch (item.type) {
    case TraceItem::Open:
        if (!item.port && Open(item.address, 0)) ++overlaps_;
        Connect(item.address, item.port ? item.port : MadeUpPort(), item.ms, out);
        break;
    case TraceItem::Close:
        if (Connection* c = Open(item.address, item.port)) Close(*c, item.ms, out);
        break;
    case TraceItem::Block:
        // Address cells without data: a send that failed, nothing on the wire.
        if (item.length > 0)
            Segment(ConnectionFor(item, out), item.kind == Sent, kTcpPsh | kTcpAck, item.bytes, item.length, item.ms,
                    out);
        break;
    }
}

void StartAtTick(ExportEndpoints& endpoints, uint32_t tick, const TickClock& clock) {
    using namespace std::chrono;
    uint64_t wallMs = static_cast<uint64_t>(
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
    uint64_t then = wallMs - (clock.NowMs() - tick);  // ticks wrap: their difference does not
    endpoints.startSeconds = static_cast<uint32_t>(then / 1000);
    endpoints.startMicros = static_cast<uint32_t>(then % 1000 * 1000);
}

std::string ExportTrace(const TraceCell* cells, int32_t count, ExportFormat format, const ExportEndpoints& endpoints,
                        const TraceCellNote* notes, int32_t* overlaps) {
    std::string out;
    TraceDecoder reader;
    PcapWriter pcap(endpoints);
    TraceItemSink sink;
    switch (format) {
    case ExportFormat::Text:
        sink = [&](const TraceItem& item) { out += TextExportLine(item, endpoints); };
        break;
    case ExportFormat::Csv:
        out = CsvExportHeader();
        sink = [&](const TraceItem& item) { out += CsvExportRow(item, endpoints); };
        break;
    case ExportFormat::Pcap:
        out = PcapWriter::FileHeader();
        sink = [&](const TraceItem& item) { pcap.Item(item, out); };
        break;
    }
    reader.Feed(cells, count, sink, 0, notes);
    reader.Finish(sink);
    if (overlaps) *overlaps = pcap.Overlaps();
    return out;
}

ExportResult ExportTraceToFile(const TraceBuffer& trace, ExportFormat format, const ExportEndpoints& endpoints,
                               std::u16string_view path) {
    std::unique_ptr<TraceCell[]> cells(new (std::nothrow) TraceCell[kTraceCapacity]);
    std::unique_ptr<TraceCellNote[]> notes(new (std::nothrow) TraceCellNote[kTraceCapacity]);
    if (!cells || !notes) return ExportResult::ReadFailed;
    int32_t count = CopyTraceCells(trace, 0, kTraceCapacity, cells.get(), notes.get());
    if (count <= 0) return ExportResult::Empty;
    // The trace's own cells tell when they came: the file starts at the first of them.
    ExportEndpoints timed = endpoints;
    auto first = std::find_if(notes.get(), notes.get() + count, [](const TraceCellNote& n) { return n.known; });
    if (first != notes.get() + count) StartAtTick(timed, first->tick, *trace.Clock);
    return WriteFileBytes(path, ExportTrace(cells.get(), count, format, timed, notes.get()))
               ? ExportResult::Ok
               : ExportResult::WriteFailed;
}

ExportResult ConvertTraceFile(std::u16string_view tracePath, ExportFormat format, const ExportEndpoints& endpoints,
                              std::u16string_view path, int32_t* overlaps) {
    std::string bytes;
    constexpr size_t kMaxBytes = kTraceHeaderBytes + sizeof(TraceCell) * kTraceCapacity;
    if (ReadFileBytes(tracePath, bytes, kMaxBytes) != FileReadResult::Ok) return ExportResult::ReadFailed;
    int32_t stated = TraceFileCount(bytes);
    if (stated < 0 || stated > kTraceCapacity) return ExportResult::ReadFailed;
    size_t body = bytes.size() > static_cast<size_t>(kTraceHeaderBytes) ? bytes.size() - kTraceHeaderBytes : 0;
    int32_t count = std::min(stated, static_cast<int32_t>(body / sizeof(TraceCell)));
    if (count <= 0) return ExportResult::Empty;
    std::vector<TraceCell> cells(static_cast<size_t>(count));
    std::memcpy(cells.data(), bytes.data() + kTraceHeaderBytes, cells.size() * sizeof(TraceCell));
    std::string exported = ExportTrace(cells.data(), count, format, endpoints, nullptr, overlaps);
    return WriteFileBytes(path, exported) ? ExportResult::Ok : ExportResult::WriteFailed;
}
