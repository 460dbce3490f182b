// Exports of the trace for other programs: a text listing (one line per
// block), CSV for spreadsheets and scripts, and pcap for Wireshark. All three
// are built from one reading of the cells into blocks and client events, so
// the window's Export command, the capture file and the command-line runner
// share them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ipv4_address.h"
#include "trace/trace_buffer.h"
#include "trace/trace_decoder.h"

struct AppSettings;

enum class ExportFormat { Text, Csv, Pcap };

// By the file name's extension (".csv", ".pcap", otherwise text).
ExportFormat ExportFormatForPath(std::u16string_view path);
// "text", "csv" or "pcap" (the runner's --to); false for anything else.
bool ExportFormatByName(std::string_view name, ExportFormat& format);

// Where the traffic went: the connection settings of the run that recorded
// the trace. A block's peer comes from its address cells (server modes, and
// a client's datagrams from others than its access point), else from here.
// A remote address of 0.0.0.0 is unknown: text and CSV leave a client's peer
// blank.
struct ExportEndpoints {
    bool tcp = true;
    bool server = false;
    Ipv4Address localAddress{{127, 0, 0, 1}};
    uint16_t localPort = 1050;
    Ipv4Address remoteAddress{{127, 0, 0, 1}};
    uint16_t remotePort = 1050;
    // pcap time of the first item, since 1970.
    uint32_t startSeconds = 0;
    uint32_t startMicros = 0;
};

ExportEndpoints ExportEndpointsFrom(const AppSettings& settings, uint32_t startSeconds);

// One text line (with its line end) or CSV row per item. The CSV output
// starts with a byte-order mark and its header row. A block without bytes
// (an empty datagram) is a line or row of length 0.
std::string TextExportLine(const TraceItem& item, const ExportEndpoints& endpoints);
std::string CsvExportRow(const TraceItem& item, const ExportEndpoints& endpoints);
std::string CsvExportHeader();

// Builds the packets of a pcap file (link type raw IPv4), item by item. Each
// block becomes one UDP datagram or TCP segment; TCP sequence numbers run on
// per direction and connection, so Wireshark reassembles the streams. A TCP
// connection starts with a SYN handshake (at a client's open event, or
// before its first block) and a client's close event becomes FIN packets.
// An empty datagram is a UDP packet without payload.
//
// A TCP server's clients: where the items carry their ports (this run's own
// trace), each client is its own stream on its real port. A trace file keeps
// no ports: each open event starts a stream on a made-up port (49152 on,
// reusing only ports of closed streams), and a client's blocks go to the
// stream of that address opened last and not yet closed; two clients of one
// address at the same time cannot be told apart, which Overlaps() counts.
class PcapWriter {
public:
    explicit PcapWriter(const ExportEndpoints& endpoints);
    static std::string FileHeader();
    void Item(const TraceItem& item, std::string& out);
    // Where the live capture learned the bound address or the first item's real time.
    void SetEndpoints(const ExportEndpoints& endpoints) { endpoints_ = endpoints; }
    int32_t Packets() const { return packets_; }
    int32_t Overlaps() const { return overlaps_; }

private:
    struct Connection {
        Ipv4Address address;
        uint16_t port;
        uint32_t localSeq;
        uint32_t remoteSeq;
        bool open;
    };
    Connection* Open(const Ipv4Address& address, uint16_t port);
    Connection& ConnectionFor(const TraceItem& item, std::string& out);
    Connection& Connect(const Ipv4Address& address, uint16_t port, uint64_t ms, std::string& out);
    uint16_t MadeUpPort();
    void Close(Connection& c, uint64_t ms, std::string& out);
    void Datagram(const TraceItem& item, std::string& out);
    void Segment(Connection& c, bool fromLocal, uint8_t flags, const uint8_t* data, int32_t length, uint64_t ms,
                 std::string& out);
    void Packet(const Ipv4Address& src, const Ipv4Address& dst, uint8_t protocol, const std::string& transport,
                uint64_t ms, std::string& out);

    ExportEndpoints endpoints_;
    std::vector<Connection> connections_;
    uint16_t nextClientPort_ = 49152;
    uint16_t ipId_ = 1;
    int32_t packets_ = 0;
    int32_t overlaps_ = 0;
};

// The pcap time of an item that came at `tick` by `clock`, which is now.
void StartAtTick(ExportEndpoints& endpoints, uint32_t tick, const TickClock& clock);

// A whole export of these cells in memory (and their notes, when given);
// `overlaps` (when given) receives PcapWriter::Overlaps().
std::string ExportTrace(const TraceCell* cells, int32_t count, ExportFormat format, const ExportEndpoints& endpoints,
                        const TraceCellNote* notes = nullptr, int32_t* overlaps = nullptr);

enum class ExportResult { Ok, Empty, ReadFailed, WriteFailed };

// The trace's cells in use (taken under its lock) written to `path`, with
// the times the receive side noted; a pcap starts at the first cell's time.
ExportResult ExportTraceToFile(const TraceBuffer& trace, ExportFormat format, const ExportEndpoints& endpoints,
                               std::u16string_view path);
// A trace file converted to `path` (the runner's --convert); `overlaps`
// (when given) receives how often a pcap could not tell two clients apart.
ExportResult ConvertTraceFile(std::u16string_view tracePath, ExportFormat format, const ExportEndpoints& endpoints,
                              std::u16string_view path, int32_t* overlaps = nullptr);
