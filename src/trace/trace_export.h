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
// the trace. Client modes take the peer from here; server modes take it from
// the trace's address cells. A remote address of 0.0.0.0 is unknown: text
// and CSV leave a client's peer blank.
struct ExportEndpoints {
    bool tcp = true;
    bool server = false;
    Ipv4Address localAddress{{127, 0, 0, 1}};
    uint16_t localPort = 1050;
    Ipv4Address remoteAddress{{127, 0, 0, 1}};
    uint16_t remotePort = 1050;
    // pcap time of the first block, seconds since 1970.
    uint32_t startSeconds = 0;
};

ExportEndpoints ExportEndpointsFrom(const AppSettings& settings, uint32_t startSeconds);

// One text line (with its line end) or CSV row per item. The CSV output
// starts with a byte-order mark and its header row. A block without bytes
// (address cells alone) is not exported: it gives an empty line, row or
// no packet.
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
        Ipv4Address address;
        uint16_t port;
        uint32_t localSeq;
        uint32_t remoteSeq;
        bool open;
    };
    Connection& ConnectionFor(const TraceItem& item, std::string& out);
    Connection& Connect(const Ipv4Address& address, uint64_t tenths, std::string& out);
    void Close(Connection& c, uint64_t tenths, std::string& out);
    void Segment(Connection& c, bool fromLocal, uint8_t flags, const uint8_t* data, int32_t length,
                 uint64_t tenths, std::string& out);
    void Packet(const Ipv4Address& src, const Ipv4Address& dst, uint8_t protocol, const std::string& transport,
                uint64_t tenths, std::string& out);

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
