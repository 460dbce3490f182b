#include "runner/runner_option_table.h"

#include <algorithm>

namespace {

using enum ValueCompletion;

// In the order the manual lists them: connection, output, run, the other tasks.
constexpr RunnerOptionRow kOptions[] = {
    {"--tcp-client", "HOST:PORT", Nothing,
     "Connect to the device as TCP client (HOST: dotted IPv4 address or `localhost`)."},
    {"--udp-client", "HOST:PORT", Nothing, "Send to the device as UDP client."},
    {"--tcp-server", "[ADDR:]PORT", Nothing,
     "Listen as TCP server, on every address when ADDR is left out. The macro or the sends start when the "
     "first client has connected."},
    {"--udp-server", "[ADDR:]PORT", Nothing,
     "Bind as UDP server; the macro or the sends start when the first datagram has come, and replies go to "
     "the newest sender."},
    {"--local", "ADDR:PORT", Nothing, "Bind a client to this local address and port."},
    {"--join", "GROUP", Nothing,
     "UDP: join a multicast group (224.0.0.0 to 239.255.255.255) on the interface of the server's ADDR or of "
     "`--local`, which a client needs for it; the socket then binds its port on every address."},
    {"--ttl", "N", Nothing, "Hops of sends to a multicast group, 0 to 255; default 1, the local network."},
    {"--settings", "FILE", Files,
     "Take mode, addresses and ports from a `Lanvisor.ini`. Without any connection option, `Lanvisor.ini` in "
     "the current folder is read, and it must exist: the built-in access point is never used unasked."},
    {"--quiet", "", Nothing, "No block lines on standard output."},
    {"--summary", "", Nothing,
     "At the end, one line per peer (its address and port as received) with its datagram or block and byte "
     "counts; also with `--quiet`."},
    {"--verbose", "", Nothing,
     "Standard error shows the window's reports of success too (the Winsock version, the connection opened "
     "and closed, the macro ended at PEND); without it, only warnings and errors."},
    {"--trace", "FILE", Files,
     "Write the trace file at the end, in the format of Save Log; Open Log loads it into the window."},
    {"--log", "FILE", Files,
     "Write every block as it comes, in the text format of Export, however long the run."},
    {"--pcap", "FILE", Files, "Write every block as it comes as a packet, in the pcap format of Export."},
    {"--lang", "ja|en|ko|zh", Choices,
     "Language of the program's texts; default: the language of the settings file, else English."},
    {"--timeout", "SECONDS", Nothing, "Limit for the whole run; default: none."},
    {"--tick", "MS", Nothing,
     "Pace of macro lines and of sends, default 100 as in the window; TIME and READ keep their own times."},
    {"--send", "DATA", Nothing,
     "Bytes in the notation of the line files, for example `'ABC'0D0A`; several are sent in order, one per "
     "tick."},
    {"--listen", "SECONDS", Nothing,
     "After the sends, or alone: keep receiving this long. `--listen 0`: until the time limit or a stop "
     "request."},
    {"--reply", "RULES", Files,
     "Answer as the device by the rules in the file; alone, it listens until stopped."},
    {"--strict", "", Nothing, "With `--reply`: a request no rule matches ends the run with exit code 5."},
    {"--convert", "TRACE_FILE", Files,
     "No connection: convert a trace file as Export does, into the file named last on the command line. The "
     "connection options or the settings file label the peer and the ports; without either, a client's peer "
     "is left blank (unknown), never the built-in access point."},
    {"--to", "text|csv|pcap", Choices, "With `--convert`: the format to write."},
    {"--check", "", Nothing,
     "No connection: report the lines of the macro file that will not run as written. The other options may "
     "stay on the command line."},
    {"--help", "", Nothing, "Print the usage (also `-h`)."},
    {"--version", "", Nothing, "Print the version."},
};

}  // namespace

std::span<const RunnerOptionRow> RunnerOptionTable() { return kOptions; }

const RunnerOptionRow* FindRunnerOption(std::u16string_view name) {
    for (const RunnerOptionRow& row : kOptions)
        if (name.size() == row.name.size() && std::equal(name.begin(), name.end(), row.name.begin()))
            return &row;
    return nullptr;
}
