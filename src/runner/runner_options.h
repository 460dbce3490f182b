// The command line of lanvisor-run: one connection, one macro file, a list
// of sends or just listening, and how to report. Parsing only checks the
// words; files are looked at by the run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ipv4_address.h"
#include "trace/trace_export.h"

enum class RunnerMode { FromSettings, TcpClient, TcpServer, UdpClient, UdpServer };

// An IPv4 address (octets left to right) and a port; address absent means
// "every local address" for a server.
struct RunnerEndpoint {
    bool hasAddress = false;
    int32_t octets[4] = {};
    int32_t port = 0;
};

struct RunnerOptions {
    RunnerMode mode = RunnerMode::FromSettings;
    RunnerEndpoint endpoint;  // the access point (clients) or the listening address (servers)
    bool hasLocal = false;
    RunnerEndpoint local;            // --local: the address a client binds to
    bool hasGroup = false;
    Ipv4Address group;               // --join: the multicast group a UDP socket joins
    int32_t ttl = -1;                // --ttl: hops of sends to a group; -1: the settings'
    bool summary = false;            // --summary: one line per peer at the end
    std::u16string settingsFile;     // empty: Lanvisor.ini in the current folder
    bool quiet = false;
    bool verbose = false;            // --verbose: the window's reports of success on standard error too
    std::u16string traceFile;        // empty: no trace file
    int32_t language = -1;           // -1: the settings' language, else English
    uint32_t timeoutMs = 0;          // 0: no limit
    uint32_t tickMs = 100;
    std::vector<std::vector<uint8_t>> sends;
    bool listen = false;
    uint32_t listenMs = 0;           // with listen, 0: until the time limit or a stop request
    std::u16string replyFile;        // --reply: answer by the rules in this file
    bool strict = false;             // --strict: a frame no rule matches ends the run (exit 5)
    std::u16string macroFile;
    bool check = false;              // --check: read the macro file, connect to nothing
    std::u16string logFile;   // --log: the blocks as text lines while the run records
    std::u16string pcapFile;  // --pcap: the blocks as packets while the run records
    // --convert TRACE_FILE --to FORMAT OUTPUT: no connection, a conversion.
    std::u16string convertFile;
    bool hasFormat = false;
    ExportFormat convertFormat = ExportFormat::Text;
    std::u16string outputFile;
};

enum class RunnerAction { Run, Convert, Check, Help, Version, UsageError };

struct RunnerCommand {
    RunnerAction action = RunnerAction::UsageError;
    RunnerOptions options;
    std::u16string error;  // for UsageError: what was wrong, one line
};

// args: the words after the program name.
RunnerCommand ParseRunnerCommand(const std::vector<std::u16string>& args);

// "HOST:PORT" (needPort) or "[HOST:]PORT" (servers): dotted IPv4 or
// "localhost", port 1..65535.
bool ParseRunnerEndpoint(std::u16string_view text, bool addressRequired, RunnerEndpoint& endpoint);

// Seconds with up to three decimals ("2", "0.5"), at most a day; false for
// anything else.
bool ParseRunnerSeconds(std::u16string_view text, uint32_t& ms);

// The short usage text (--help, and after a usage error).
const char* RunnerUsage();
