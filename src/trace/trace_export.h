// Exports of the trace for other programs: a text listing (one line per
// block), CSV for spreadsheets and scripts, and pcap for Wireshark. All three
// are built from one reading of the cells into blocks and client events, so
// the window's Export command, the capture file and the command-line runner
// share them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "trace/trace_buffer.h"

struct AppSettings;

// One unit of the trace as the exports see it.
struct TraceItem {
    enum Type : uint8_t { Block, Open, Close };
    Type type = Block;
    TraceCellKind kind = Received;  // Received or Sent for a block
    bool hasAddress = false;        // from address or client-event cells
    uint8_t address[4] = {};        // octets of the peer, leftmost first
    uint64_t tenths = 0;            // elapsed since the first block, 0.1 s
    const uint8_t* bytes = nullptr; // a block's data
    int32_t length = 0;
};

using TraceItemSink = std::function<void(const TraceItem&)>;

// Reads cells into items as they come, in pieces of any size: a block is
// given out at its trailer (or when something else starts). The time of a
// block is the sum of the stamps of the trailers before it; an event gets the
// time of the block before it (the trace keeps no time of its own for it).
class TraceItemReader {
public:
    TraceItemReader();
    // The first `alreadySeen` cells were fed before: only stamp digits are
    // taken from them again (a trailer that was still counting then has its
    // final value now).
    void Feed(const TraceCell* cells, int32_t count, const TraceItemSink& sink, int32_t alreadySeen = 0);
    // Gives out a block that has no trailer yet.
    void Finish(const TraceItemSink& sink);

private:
    void Cell(const TraceCell& cell, const TraceItemSink& sink);
    void EndBlock(const TraceItemSink& sink);
    void Octet(uint8_t value, uint8_t pos, uint8_t (&octets)[4]) const;

    std::vector<uint8_t> block_;
    TraceCellKind blockKind_ = Received;
    uint64_t tenths_ = 0;
    uint32_t gap_ = 0;  // stamp of the newest trailer, added when the next block starts
    bool seenBlock_ = false;
    uint8_t peer_[4] = {};
    bool hasPeer_ = false;
    uint8_t event_[4] = {};
};

enum class ExportFormat { Text, Csv, Pcap };

// By the file name's extension (".csv", ".pcap", otherwise text).
ExportFormat ExportFormatForPath(std::u16string_view path);
// "text", "csv" or "pcap" (the runner's --to); false for anything else.
bool ExportFormatByName(std::string_view name, ExportFormat& format);

// Where the traffic went: the connection settings of the run that recorded
// the trace. Client modes take the peer from here; server modes take it from
// the trace's address cells.
struct ExportEndpoints {
    bool tcp = true;
    bool server = false;
    uint8_t localAddress[4] = {127, 0, 0, 1};
    uint16_t localPort = 1050;
    uint8_t remoteAddress[4] = {127, 0, 0, 1};
    uint16_t remotePort = 1050;
    // pcap time of the first block, seconds since 1970.
    uint32_t startSeconds = 0;
};

ExportEndpoints ExportEndpointsFrom(const AppSettings& settings, uint32_t startSeconds);

// One text line (with its line end) or CSV row per item. The CSV output
// starts with a byte-order mark and its header row.
std::string TextExportLine(const TraceItem& item, const ExportEndpoints& endpoints);
std::string CsvExportRow(const TraceItem& item, const ExportEndpoints& endpoints);
std::string CsvExportHeader();

// Builds the packets of a pcap file (link type raw IPv4), item by item. Each
// block becomes one UDP datagram or TCP segment; TCP sequence numbers run on
// per direction and connection, so Wireshark reassembles the streams. A TCP
// connection starts with a SYN handshake (at a client's open event, or
// before its first block) and a client's close event becomes FIN packets.
// The trace keeps no client ports: a TCP server's clients get ports 49152,
// 49153, ... in the order they connect.
class PcapWriter {
public:
    explicit PcapWriter(const ExportEndpoints& endpoints);
    static std::string FileHeader();
    void Item(const TraceItem& item, std::string& out);
    int32_t Packets() const { return packets_; }

private:
    struct Connection {
        uint8_t address[4];
        uint16_t port;
        uint32_t localSeq;
        uint32_t remoteSeq;
        bool open;
    };
    Connection& ConnectionFor(const TraceItem& item, std::string& out);
    Connection& Connect(const uint8_t (&address)[4], uint64_t tenths, std::string& out);
    void Close(Connection& c, uint64_t tenths, std::string& out);
    void Segment(Connection& c, bool fromLocal, uint8_t flags, const uint8_t* data, int32_t length,
                 uint64_t tenths, std::string& out);
    void Packet(const uint8_t (&src)[4], const uint8_t (&dst)[4], uint8_t protocol, const std::string& transport, uint64_t tenths, std::string& out);

    ExportEndpoints endpoints_;
    std::vector<Connection> connections_;
    uint16_t nextClientPort_ = 49152;
    uint16_t ipId_ = 1;
    int32_t packets_ = 0;
};

// A whole export of these cells in memory.
std::string ExportTrace(const TraceCell* cells, int32_t count, ExportFormat format, const ExportEndpoints& endpoints);

enum class ExportResult { Ok, Empty, ReadFailed, WriteFailed };

// The trace's cells in use (taken under its lock) written to `path`.
ExportResult ExportTraceToFile(const TraceBuffer& trace, ExportFormat format, const ExportEndpoints& endpoints,
                               std::u16string_view path);
// A trace file converted to `path` (the runner's --convert).
ExportResult ConvertTraceFile(std::u16string_view tracePath, ExportFormat format, const ExportEndpoints& endpoints,
                              std::u16string_view path);
