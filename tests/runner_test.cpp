#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/connection_mode.h"
#include "common/text_table.h"
#include "platform/text.h"
#include "runner/console_message_box.h"
#include "runner/macro_file_encoding.h"
#include "runner/run_printer.h"
#include "runner/run_verdict.h"
#include "runner/runner_docs.h"
#include "runner/runner_option_table.h"
#include "runner/runner_options.h"
#include "runner/runner_setup.h"
#include "runner/trace_lines.h"
#include "support/temp_folder.h"

namespace {

using Args = std::vector<std::u16string>;
using Bytes = std::vector<uint8_t>;

RunnerCommand Parse(Args args) { return ParseRunnerCommand(args); }

// The common runs are checked end to end; here the limits, the inline
// values and the options those runs do not use.
TEST(RunnerOptions, GoodCommandLines) {
    RunnerCommand c =
        Parse({u"--udp-client=localhost:65535", u"--send", u"'AB'0D0A", u"--send", u"00ff", u"--tick", u"000000020"});
    ASSERT_EQ(c.action, RunnerAction::Run) << Utf16ToUtf8(c.error);
    EXPECT_EQ(c.options.mode, RunnerMode::UdpClient);
    EXPECT_EQ(c.options.endpoint.octets[0], 127);
    EXPECT_EQ(c.options.endpoint.port, 65535);
    EXPECT_EQ(c.options.tickMs, 20u);
    EXPECT_EQ(c.options.sends, (std::vector<Bytes>{{'A', 'B', 13, 10}, {0, 0xFF}}));
    c = Parse({u"--tcp-server", u"1050", u"--timeout", u"2.125", u"m.mac"});
    ASSERT_EQ(c.action, RunnerAction::Run) << Utf16ToUtf8(c.error);
    EXPECT_FALSE(c.options.endpoint.hasAddress);
    EXPECT_EQ(c.options.endpoint.port, 1050);
    EXPECT_EQ(c.options.timeoutMs, 2125u);
    c = Parse({u"--local", u"127.0.0.2:7", u"--quiet", u"--listen=86400", u"--verbose"});
    ASSERT_EQ(c.action, RunnerAction::Run) << Utf16ToUtf8(c.error);
    EXPECT_EQ(c.options.mode, RunnerMode::FromSettings);
    EXPECT_TRUE(c.options.hasLocal && c.options.quiet && c.options.verbose);
    EXPECT_EQ(c.options.local.octets[3], 2);
    EXPECT_EQ(c.options.listenMs, 86400000u);
    c = Parse({u"--udp-server", u"5", u"--convert", u"t.log", u"--to=pcap", u"t.pcap"});
    ASSERT_EQ(c.action, RunnerAction::Convert) << Utf16ToUtf8(c.error);
    EXPECT_EQ(c.options.convertFile + u">" + c.options.outputFile, u"t.log>t.pcap");
    EXPECT_TRUE(c.options.macroFile.empty());  // the output took its place
    EXPECT_EQ(Parse({u"--tcp-client", u"127.0.0.1:5", u"--timeout", u"9", u"m.mac", u"--check"}).action,
              RunnerAction::Check);  // the options of a run may stay
    EXPECT_EQ(Parse({u"--bogus", u"--help"}).action, RunnerAction::Help);
    EXPECT_EQ(Parse({u"m.mac", u"--version"}).action, RunnerAction::Version);
    EXPECT_EQ(Parse({u"--send", std::u16string(512, u'4')}).action, RunnerAction::Run);  // 256 bytes: a whole line
}

TEST(RunnerOptions, BadCommandLinesAreRefusedWithAReason) {
    std::u16string longSend(514, u'4');
    struct Row {
        Args args;
        std::u16string_view reason;
    } rows[] = {
        {{}, u"nothing to run"}, {{u"--bogus", u"m.mac"}, u"unknown option \"--bogus\""},
        {{u"m.mac", u"--tcp-client"}, u"--tcp-client needs a value"},
        {{u"--tcp-client", u"127.0.0.1", u"m.mac"}, u"needs HOST:PORT"},
        {{u"--udp-client", u"127.0.0.1:65536", u"m.mac"}, u"needs HOST:PORT"},
        {{u"--udp-client", u"127.0.0.256:5", u"m.mac"}, u"needs HOST:PORT"},
        {{u"--udp-client", u"127..0.1:5", u"m.mac"}, u"needs HOST:PORT"},
        {{u"--udp-client", u"127.0.1:5", u"m.mac"}, u"needs HOST:PORT"},
        {{u"--tcp-client", u"127.0.0.1:5x", u"m.mac"}, u"needs HOST:PORT"},
        {{u"--timeout", u"0", u"m.mac"}, u"--timeout needs"},
        {{u"--timeout", u"1.2345", u"m.mac"}, u"--timeout needs"},
        {{u"--listen", u"x.5"}, u"--listen needs"}, {{u"--listen", u"1.x"}, u"--listen needs"},  // 0 would be taken
        {{u"--timeout", u"86401", u"m.mac"}, u"--timeout needs"}, {{u"--tick", u"60001", u"m.mac"}, u"--tick needs"},
        {{u"--tick", u"4294967316", u"m.mac"}, u"--tick needs"},  // would wrap to 20
        {{u"--send", u"4"}, u"--send gives no bytes"}, {{u"--send", longSend}, u"more than 256 bytes"},
        {{u"--quiet=yes", u"m.mac"}, u"takes no value"},
        {{u"--convert", u"t.log", u"--to", u"csv"}, u"needs the file to write"},
        {{u"--log", u"", u"m.mac"}, u"--log needs a file name"}, {{u"--check"}, u"--check needs a macro file"},
        {{u"--check", u"--listen", u"1", u"m.mac"}, u"--check reads a macro file and runs nothing"},
        {{u"--udp-server", u"5", u"--join", u"223.255.255.255", u"m.mac"}, u"--join needs a multicast group"},
        {{u"--udp-server", u"5", u"--ttl", u"256", u"m.mac"}, u"--ttl needs hops 0..255"},
        {{u"--tcp-server", u"5", u"--join", u"239.255.0.1", u"m.mac"}, u"go with --udp-client or --udp-server"},
        {{u"--udp-client", u"239.255.0.1:5", u"--join", u"239.255.0.1", u"m.mac"}, u"needs --local"},
    };
    for (const Row& row : rows) {
        RunnerCommand c = Parse(row.args);
        SCOPED_TRACE(row.args.empty() ? "(none)" : Utf16ToUtf8(row.args[0]));
        EXPECT_EQ(c.action, RunnerAction::UsageError);
        EXPECT_NE(c.error.find(row.reason), std::u16string::npos) << Utf16ToUtf8(c.error);
    }
}

// The table the man page and the completion are written from is the one the
// parser reads: it knows every name, a value option takes the next word and
// a switch leaves it.
TEST(RunnerOptions, EveryOptionOfTheTableIsParsedAsDescribed) {
    for (const RunnerOptionRow& row : RunnerOptionTable()) {
        std::u16string name = Utf8ToUtf16(std::string(row.name));
        RunnerCommand c = Parse({name, u"--bogus"});
        SCOPED_TRACE(row.name);
        if (c.action == RunnerAction::Help || c.action == RunnerAction::Version) continue;
        EXPECT_EQ(c.error.find(u"unknown option \"" + name), std::u16string::npos) << Utf16ToUtf8(c.error);
        EXPECT_EQ(c.error == u"unknown option \"--bogus\"", row.value.empty()) << Utf16ToUtf8(c.error);
    }
}

// The README's section is replaced whole, the text around it kept, so that
// writing it again changes nothing; a file without both markers is refused.
TEST(RunnerDocs, TheReadmeSectionIsReplacedInPlace) {
    std::string section = RunnerReadmeOptions();
    std::string start = section.substr(0, section.find('\n') + 1);
    std::string end = section.substr(section.rfind('\n', section.size() - 2) + 1);
    std::string once, twice;
    ASSERT_TRUE(SpliceRunnerSection("before\n" + start + "old row\n" + end + "after\n", section, once));
    EXPECT_EQ(once, "before\n" + section + "after\n");
    ASSERT_TRUE(SpliceRunnerSection(once, section, twice));
    EXPECT_EQ(twice, once);
    EXPECT_FALSE(SpliceRunnerSection("before\n" + start + "after\n", section, twice));
    EXPECT_FALSE(SpliceRunnerSection(end + start, section, twice));
}

// The run takes its settings file's language, mode and ports, then what the
// command line says; a client's local address binds it.
TEST(RunnerSetup, SettingsFileThenCommandLine) {
    TempFolder folder;
    folder.WriteBytes(u"ko.ini",
                      Utf16LeFile(u"[Lanvisor]\r\nmoji_type=2\r\nip_mode=1\r\ntipudp_mode=1\r\nport_no=77\r\n"));
    AppSettings s;
    std::u16string error;
    RunnerCommand c = Parse({u"--listen", u"1", u"--settings", folder.File(u"ko.ini")});
    ASSERT_TRUE(PrepareSettings(c.options, s, error)) << Utf16ToUtf8(error);
    EXPECT_EQ(s.Language, kKorean);
    EXPECT_EQ(ModeOf(s), ConnectionMode::UdpServer);
    EXPECT_EQ(s.AccessPort, 77);
    c = Parse({u"--udp-client", u"127.0.0.1:8", u"--local", u"127.0.0.4:9", u"--listen", u"1", u"--lang", u"ja",
               u"--settings", folder.File(u"ko.ini")});
    ASSERT_TRUE(PrepareSettings(c.options, s, error)) << Utf16ToUtf8(error);
    EXPECT_EQ(s.Language, kJapanese);
    EXPECT_EQ(ModeOf(s), ConnectionMode::UdpClient);
    EXPECT_EQ(s.AccessPort, 8);
    EXPECT_EQ((std::vector<int32_t>{s.BindMode, s.AdapterPort, s.AdapterIp[3]}), (std::vector<int32_t>{1, 9, 4}));
    s.AccessPort = 70000;
    EXPECT_EQ(AccessPointText(s), "127.0.0.1:4464");  // a port is its low 16 bits
    ExportEndpoints endpoints;  // a conversion does not label with defaults what a missing file would have said
    c = Parse({u"--convert", u"t.log", u"--to", u"csv", u"t.csv", u"--settings", folder.File(u"none.ini")});
    EXPECT_FALSE(ConversionEndpoints(c.options, 0, endpoints, error));
    // A group from the settings file is joined only when the file names the connection.
    folder.WriteBytes(u"g.ini", Utf16LeFile(u"[Lanvisor]\r\nmcast_group=239.1.1.1\r\nmcast_ttl=3\r\n"));
    c = Parse({u"--udp-server", u"127.0.0.1:7", u"--summary", u"--quiet", u"--settings", folder.File(u"g.ini")});
    ASSERT_TRUE(PrepareSettings(c.options, s, error) && c.options.summary) << Utf16ToUtf8(error);
    EXPECT_EQ(std::u16string(s.MulticastGroup) + u"/" + FormatString(u"%d", {s.MulticastTtl}), u"/3");
    c = Parse({u"--udp-server", u"127.0.0.1:7", u"--join", u"239.255.0.7", u"--ttl", u"0", u"--listen", u"1"});
    ASSERT_TRUE(PrepareSettings(c.options, s, error)) << Utf16ToUtf8(error);
    EXPECT_EQ(std::u16string(s.MulticastGroup) + u"/" + FormatString(u"%d", {s.MulticastTtl}), u"239.255.0.7/0");
}

// The lines a trace gives, fed one cell at a time and all at once.
std::vector<std::string> Lines(const TraceBuffer& trace, int32_t chunk) {
    std::vector<std::string> lines;
    TraceLineWriter reader("127.9.9.9:99", [&](const std::string& line) { lines.push_back(line); });
    int32_t count = TraceCount(trace);
    for (int32_t i = 0; i < count; i += chunk)
        reader.Feed(&trace.Cells[i], std::min(chunk, count - i), 1234 + i);
    reader.Flush(99000);
    return lines;
}

TEST(RunnerLines, EveryBlockAndClientEventIsOneLine) {
    TraceBuffer trace;
    ASSERT_TRUE(AllocateTrace(trace));
    ClearTrace(trace);
    const uint8_t hello[] = {'H', 'i', 0x00, 0x7F, 0x0D};
    const uint8_t ok[] = {'O', 'K'};
    const Ipv4Address peerA{{127, 0, 0, 1}}, peerB{{127, 0, 0, 3}};
    AppendTrace(trace, hello, 5, Sent);
    AppendTrace(trace, ok, 2, Received);
    AppendAddressCells(trace, ClientEvent, peerA, 1);
    AppendAddressedTrace(trace, FromAddress, peerB, 11, nullptr, 0, Received);  // an empty datagram
    AppendAddressedTrace(trace, FromAddress, peerA, 1, ok, 2, Received);
    AppendAddressedTrace(trace, ToAddress, peerB, 1, ok, 1, Sent);
    AppendAddressCells(trace, ClientEvent, peerA, 11);
    AppendAddressedTrace(trace, FromAddress, peerB, 11, nullptr, 0, Received);  // last: flushed at the end
    std::vector<std::string> all = Lines(trace, 1 << 20);
    std::vector<std::string> expected = {
        "     1.234 SEND 127.9.9.9:99 5 48 69 00 7F 0D |Hi...|",
        "     1.234 READ 127.9.9.9:99 2 4F 4B |OK|",
        "     1.234 OPEN 127.0.0.1",
        "     1.234 READ 127.0.0.3 0 ||",
        "     1.234 READ 127.0.0.1 2 4F 4B |OK|",
        "     1.234 SEND 127.0.0.3 1 4F |O|",
        "     1.234 CLOSE 127.0.0.1",
        "    99.000 READ 127.0.0.3 0 ||",
    };
    EXPECT_EQ(all, expected);
    std::vector<std::string> single = Lines(trace, 1);
    ASSERT_EQ(single.size(), expected.size());
    for (size_t i = 0; i < single.size(); ++i)  // only the times differ
        EXPECT_EQ(single[i].substr(10), expected[i].substr(10));
    TraceLineWriter idle("x", [](const std::string& line) { ADD_FAILURE() << "a line from nothing: " << line; });
    idle.Flush(1);
    FreeTrace(trace);
}

// Of all that applies to a run, the first in the table's order decides.
TEST(RunVerdict, TheFirstThatAppliesWins) {
    using S = StopRequest;
    struct Row {
        RunOutcome outcome;
        int code;
    };
    for (const Row& row : {
             Row{{S::None, false, false, false, kExitNoPend}, 1},
             Row{{S::None, false, false, true, kExitMacroError}, 5},
             Row{{S::None, false, true, true, kExitMacroError}, 74},
             Row{{S::None, true, true, true, kExitNoPend}, 4},
             Row{{S::End, true, true, false, kExitDone}, 143},
             Row{{S::Interrupt, true, true, true, kExitMacroError}, 130},
         })
        EXPECT_EQ(ExitCodeOf(row.outcome), row.code) << "wanted " << row.code;
}

// A flood far larger than the trace, polled now and then: what is printed is
// whole blocks, the skip lines account for every block and byte that was
// not, and an output closed by its reader is written to no more.
TEST(RunPrinter, AFloodPrintsWholeBlocksAndSaysWhatItSkipped) {
    TraceBuffer trace;
    ASSERT_TRUE(AllocateTrace(trace));
    ClearTrace(trace);
    std::string out;
    RunPrinter printer("127.0.0.1:7", false, [&](const std::string& piece) { out += piece; return true; });
    std::vector<uint8_t> block(100);
    int64_t blocks = 0;
    for (int round = 0; round < 40; ++round) {
        for (int i = 0; i < 200 + round * 20; ++i, ++blocks) {
            std::fill(block.begin(), block.end(), static_cast<uint8_t>(blocks));
            AppendTrace(trace, block.data(), static_cast<int32_t>(block.size()), Received);
            StampPendingTrailer(trace);
        }
        printer.Poll(trace, round);
    }
    printer.Finish(trace, 40);
    int64_t printed = 0, printedBytes = 0, skipped = 0, skippedBytes = 0;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream in(line);
        std::vector<std::string> w{std::istream_iterator<std::string>(in), {}};
        if (w[1] == "SKIP") {
            skipped += std::stoll(w[2]);
            skippedBytes += std::stoll(w[4]);
            continue;
        }
        int64_t count = std::stoll(w[3]);
        auto text = std::find_if(w.begin(), w.end(), [](const std::string& word) { return word[0] == '|'; });
        EXPECT_EQ(text - w.begin(), 4 + count) << line;  // one block, all its bytes
        ++printed;
        printedBytes += count;
    }
    EXPECT_GT(skipped, 0);
    EXPECT_GT(printed, 1000);
    EXPECT_EQ(printed + skipped, blocks);
    EXPECT_EQ(printedBytes + skippedBytes, blocks * 100);

    ClearTrace(trace);
    AppendTrace(trace, block.data(), 3, Received);
    AppendAddressedTrace(trace, FromAddress, Ipv4Address{{127, 0, 0, 2}}, 11, nullptr, 0, Received);  // held
    int writes = 0;
    RunPrinter closed("x", false, [&](const std::string&) { ++writes; return false; });
    closed.Poll(trace, 1);
    closed.Finish(trace, 2);
    EXPECT_EQ(writes, 1);
    FreeTrace(trace);
}

// A macro file in UTF-16 passes as it is; UTF-8 gets CR LF line ends
// (its runs are checked end to end); a text that is neither, UTF-16 without
// its mark, a text longer than the interpreter holds (however the file is
// cut) and a file without commands are refused. A box's text of several
// lines is written on one.
TEST(RunnerFiles, MacroFileEncodingsAndMessageLines) {
    std::u16string out;
    ASSERT_TRUE(MacroFileText(Utf16LeFile(u"SEND 41\nPEND"), out));
    EXPECT_EQ(out, u"\uFEFFSEND 41\nPEND");
    ASSERT_TRUE(MacroFileText("\xEF\xBB\xBFSEND 'caf\xC3\xA9'\r\nPEND\n\n", out));
    EXPECT_EQ(out, u"\uFEFFSEND 'caf\u00E9'\r\nPEND\r\n\r\n");
    std::string kana;
    while (kana.size() < kMacroReadLimit) kana += "\xE3\x81\x82";
    const struct {
        std::string bytes;
        std::u16string_view refusal;
    } files[] = {
        {"SEND '\xE9'", u"is neither UTF-16 with byte-order mark nor UTF-8"},
        {std::string("S\0E\0N\0D\0 \0" "4\0" "1\0", 14), u"holds 00 bytes: UTF-16 without byte-order mark?"},
        {"PEND" + std::string(25599, ' '), u""},
        {"PEND" + std::string(25600, ' '), u"is longer than the 25603 characters a macro holds"},
        {std::string(25599, '\n'), u"is longer than the 25603"},  // each line feed gains a carriage return
        {kana.substr(0, kMacroReadLimit), u"is longer than the 25603"},  // a read cut inside a character
    };
    for (const auto& file : files) {
        std::u16string refusal = MacroFileRefusal(file.bytes, out);
        EXPECT_TRUE(refusal.starts_with(file.refusal) && refusal.empty() == file.refusal.empty())
            << file.bytes.substr(0, 12) << ": " << Utf16ToUtf8(refusal);
    }
    TempFolder folder;
    folder.WriteBytes(u"notes.mac", "; only words\n:end\nSEND");
    std::u16string error;
    auto run = std::make_unique<MacroRun>();
    EXPECT_FALSE(LoadRunnerMacro(folder.File(u"notes.mac"), *run, error));
    EXPECT_NE(error.find(u"notes.mac\" holds no commands"), std::u16string::npos) << Utf16ToUtf8(error);
    EXPECT_EQ(MessageLine(u"bind_Error", u"No.10048 :in use.\r\n again\tlater\nend\r"),
              "[bind_Error] No.10048 :in use. |  again later | end | ");
}

}  // namespace
