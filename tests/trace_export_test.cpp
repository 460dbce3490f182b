#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/text.h"
#include "support/temp_folder.h"
#include "trace/trace_decoder.h"
#include "trace/trace_export.h"
#include "trace/trace_file.h"

namespace {

Ipv4Address Address(uint8_t last) { return {{127, 0, 0, last}}; }

[[maybe_unused]] std::string Hex(const std::vector<uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (uint8_t c : bytes) out.append({digits[c >> 4], digits[c & 15]});
    return out;
}

// A TCP server session built through the real trace: two clients, a block
// with commas, quotes, a line break, 00, FF, 7F and 85, a reply, a full
// 1,023-byte block, and the first client leaving.
class ServerTrace : public ::testing::Test {
protected:
    void SetUp() override {
        trace.Clock = &clock;
        ASSERT_TRUE(AllocateTrace(trace));
        AppendAddressCells(trace, ClientEvent, Address(2), 1);
        AppendAddressedTrace(trace, FromAddress, Address(2), 1, first.data(), 14, Received);
        clock.Advance(1900);
        AppendAddressedTrace(trace, ToAddress, Address(2), 1, reply.data(), 2, Sent);
        clock.Advance(250);
        AppendAddressCells(trace, ClientEvent, Address(3), 1);
        clock.Advance(250);
        for (int i = 0; i < 1023; ++i) big.push_back(static_cast<uint8_t>(i * 7));
        AppendAddressedTrace(trace, FromAddress, Address(3), 1, big.data(), 1023, Received);
        AppendAddressCells(trace, ClientEvent, Address(2), 11);
        count = CopyTraceCells(trace, 0, kTraceCapacity, cells.data());
    }

    std::string Export(ExportFormat format) { return ExportTrace(cells.data(), count, format, endpoints); }

    ManualTickClock clock{5000};
    TraceBuffer trace;
    std::vector<TraceCell> cells = std::vector<TraceCell>(kTraceCapacity);
    int32_t count = 0;
    ExportEndpoints endpoints{.server = true, .startSeconds = 1700000000};
    std::vector<uint8_t> first = {'a', ',', 'b', ' ', '"', 'q', '"', '\r', '\n', 'x', 0x00, 0xFF, 0x7F, 0x85};
    std::vector<uint8_t> reply = {'o', 'k'};
    std::vector<uint8_t> big;
};

TEST_F(ServerTrace, TextAndCsvHaveOneLinePerBlockAndEvent) {
    std::string text = Export(ExportFormat::Text);
    size_t bigLine = text.find("     2.4 RECV  127.0.0.3        1023  00 07 0E 15");
    EXPECT_EQ(text.substr(0, bigLine),
              "     0.0 OPEN  127.0.0.2\n"
              "     0.0 RECV  127.0.0.2          14  61 2C 62 20 22 71 22 0D 0A 78 00 FF 7F 85  "
              "a,b \"q\"<CR><LF>x<NL>\xC3\xBF<DL><85>\n"
              "     1.9 SEND  127.0.0.2           2  6F 6B  ok\n"
              "     1.9 OPEN  127.0.0.3\n");
    size_t bigEnd = text.find('\n', bigLine);
    EXPECT_EQ(bigEnd - bigLine, 38u + 1023 * 3 - 1 + 2 + 2186);  // the text: 1,023 bytes in 2,186 characters
    EXPECT_EQ(text.substr(bigEnd + 1), "     2.4 CLOSE 127.0.0.2\n");

    std::string csv = Export(ExportFormat::Csv);
    EXPECT_EQ(csv.substr(0, csv.find("1.9,SEND")),
              "\xEF\xBB\xBFtime,event,peer,length,hex,text\r\n0.0,OPEN,127.0.0.2,,,\r\n"
              "0.0,RECV,127.0.0.2,14,61 2C 62 20 22 71 22 0D 0A 78 00 FF 7F 85,"
              "\"a,b \"\"q\"\"\r\nx<NL>\xC3\xBF<DL><85>\"\r\n");
    EXPECT_TRUE(csv.ends_with("\r\n2.4,CLOSE,127.0.0.2,,,\r\n"));

    // A saved trace file converts to the same export.
    TempFolder folder;
    ASSERT_EQ(WriteTraceFile(trace, folder.File(u"t.log")), TraceFileResult::Ok);
    EXPECT_EQ(ConvertTraceFile(folder.File(u"t.log"), ExportFormat::Csv, endpoints, folder.File(u"t.csv")),
              ExportResult::Ok);
    EXPECT_EQ(folder.ReadBytes(u"t.csv"), csv);
    ExportFormat byName = ExportFormat::Pcap;
    EXPECT_TRUE(ExportFormatForPath(u"t.CSV") == ExportFormat::Csv && ExportFormatForPath(u"t.txt") == ExportFormat::Text &&
                ExportFormatByName("text", byName) &&
                byName == ExportFormat::Text);
}

// A text cell a spreadsheet would take for a formula shows the bytes
// behind an apostrophe; the others stay as they are.
TEST(CsvExport, CellsThatLookLikeFormulasAreNotRun) {
    const struct {
        std::string bytes, cell;
    } rows[] = {{"=1+2", "'=1+2"},  {"+A1", "'+A1"},          {"-2,3", "\"'-2,3\""}, {"@SUM(A1)", "'@SUM(A1)"},
                {"\t=1", "'\t=1"}, {"\r=1", "\"'\r=1\""}, {"1=1", "1=1"}};
    for (const auto& row : rows) {
        TraceItem item;
        item.bytes = reinterpret_cast<const uint8_t*>(row.bytes.data());
        item.length = static_cast<int32_t>(row.bytes.size());
        EXPECT_TRUE(CsvExportRow(item, {}).ends_with("," + row.cell + "\r\n")) << CsvExportRow(item, {});
    }
}

#ifndef _WIN32
// Runs tshark; returns what it prints, errors included, less its remark on
// running as root (which this machine's tests do).
std::string Tshark(const std::string& args) {
    std::string out;
    if (FILE* p = popen(("tshark " + args + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
        pclose(p);
    }
    const std::string root = "Running as user \"root\" and group \"root\". This could be dangerous.\n";
    if (out.rfind(root, 0) == 0) out.erase(0, root.size());
    return out;
}

bool HaveTshark() { return std::system("tshark --version >/dev/null 2>&1") == 0; }

TEST_F(ServerTrace, WiresharkReadsThePcapWithStreamsAndChecksums) {
    if (!HaveTshark()) GTEST_SKIP() << "tshark is not installed (tools/setup.sh installs it)";
    TempFolder folder;
    folder.WriteBytes(u"s.pcap", Export(ExportFormat::Pcap));
    std::string file = Utf16ToUtf8(folder.File(u"s.pcap"));
    for (char& c : file)
        if (c == '\\') c = '/';
    std::string packets = Tshark("-r " + file + " -T fields -E separator=, -e ip.src -e ip.dst -e tcp.srcport "
                                 "-e tcp.dstport -e tcp.flags.str -e tcp.len");
    EXPECT_EQ(packets,
              "127.0.0.2,127.0.0.1,49152,1050,··········S·,0\n"
              "127.0.0.1,127.0.0.2,1050,49152,·······A··S·,0\n"
              "127.0.0.2,127.0.0.1,49152,1050,·······A····,0\n"
              "127.0.0.2,127.0.0.1,49152,1050,·······AP···,14\n"
              "127.0.0.1,127.0.0.2,1050,49152,·······AP···,2\n"
              "127.0.0.3,127.0.0.1,49153,1050,··········S·,0\n"
              "127.0.0.1,127.0.0.3,1050,49153,·······A··S·,0\n"
              "127.0.0.3,127.0.0.1,49153,1050,·······A····,0\n"
              "127.0.0.3,127.0.0.1,49153,1050,·······AP···,1023\n"
              "127.0.0.2,127.0.0.1,49152,1050,·······A···F,0\n"
              "127.0.0.1,127.0.0.2,1050,49152,·······A···F,0\n"
              "127.0.0.2,127.0.0.1,49152,1050,·······A····,0\n");
    // Bad checksums, lost or overlapping segments would show here.
    std::string faults = Tshark("-r " + file + " -o ip.check_checksum:TRUE -o tcp.check_checksum:TRUE "
                                "-Y \"ip.checksum.status==0 || tcp.checksum.status==0 || tcp.analysis.flags\"");
    EXPECT_EQ(faults, "");
    EXPECT_EQ(Tshark("-r " + file + " -Y tcp.len==14 -T fields -e tcp.payload"), Hex(first) + "\n");

    // UDP: each block one datagram between the peer of its address cells
    // (at the access point's port) and the adapter's port; a client's
    // datagrams from others than its access point alike.
    ManualTickClock clock;
    TraceBuffer udp;
    udp.Clock = &clock;
    ASSERT_TRUE(AllocateTrace(udp));
    AppendAddressedTrace(udp, FromAddress, Address(4), 11, first.data(), 14, Received);
    AppendAddressedTrace(udp, ToAddress, Address(4), 1, reply.data(), 2, Sent);
    AppendAddressedTrace(udp, FromAddress, Address(5), 11, big.data(), 1023, Received);
    for (bool server : {true, false}) {
        ExportEndpoints udpEnds{.tcp = false, .server = server, .localPort = 2000, .remotePort = 3000};
        ASSERT_EQ(ExportTraceToFile(udp, ExportFormat::Pcap, udpEnds, folder.File(u"u.pcap")), ExportResult::Ok);
        std::string datagrams = Tshark("-r " + file.substr(0, file.size() - 6) + "u.pcap -o udp.check_checksum:TRUE -T "
                                       "fields -E separator=, -e ip.src -e ip.dst -e udp.srcport -e udp.dstport -e "
                                       "udp.checksum.status -e udp.payload");
        EXPECT_EQ(datagrams, "127.0.0.4,127.0.0.1,3000,2000,1," + Hex(first) + "\n" +
                                 "127.0.0.1,127.0.0.4,2000,3000,1," + Hex(reply) + "\n" +
                                 "127.0.0.5,127.0.0.1,3000,2000,1," + Hex(big) + "\n");
    }
}
#endif

// However the cells come in pieces, the same items come out: an addressed
// run of bytes longer than a block can be is cut at the longest block, the
// rest no longer carries the address, a change of kind ends a block, and a
// failed send's address is given out before the client event after it.
TEST(TraceDecoder, ReadsTheSameItemsHoweverTheCellsArePieced) {
    std::vector<TraceCell> cells;
    auto cell = [&](uint8_t kind, uint8_t value, uint8_t pos = 0) { cells.push_back({kind, 0, value, 0, pos, {}}); };
    auto address = [&](uint8_t kind, uint8_t first) {
        for (uint8_t octet = 0; octet < 4; ++octet) cell(kind, first + octet, octet == 3 ? 9 : 127);
    };
    address(FromAddress, 1);
    for (int i = 0; i < kTraceMaxBlock + 904; ++i) cell(Received, static_cast<uint8_t>(i));
    for (int i = 0; i < 3; ++i) cell(Sent, static_cast<uint8_t>(0xA0 + i));
    cell(StampLabel, 0);
    address(ToAddress, 1);
    address(ClientEvent, 11);
    for (int32_t piece : {1, 7, 4096, static_cast<int32_t>(cells.size())}) {
        TraceDecoder decoder;
        std::vector<std::string> items;
        TraceItemSink sink = [&](const TraceItem& item) {
            std::string text = item.type == TraceItem::Close ? "close" : std::to_string(item.kind);
            if (item.hasAddress) text += " at " + DottedText(item.address);
            if (item.length > 0)
                text += " " + std::to_string(item.length) + " " + std::to_string(item.bytes[0]) + ".." +
                        std::to_string(item.bytes[item.length - 1]);
            items.push_back(text);
        };
        for (size_t at = 0; at < cells.size(); at += piece)
            decoder.Feed(&cells[at], std::min<int32_t>(piece, static_cast<int32_t>(cells.size() - at)), sink);
        decoder.Finish(sink);
        EXPECT_EQ(items, (std::vector<std::string>{"1 at 127.127.127.9 4096 0..255", "1 904 0..135", "2 3 160..162",
                                                   "2 at 127.127.127.9", "close at 127.127.127.9"}))
            << "pieces of " << piece;
    }
}

}  // namespace
