#include "runner/runner_options.h"

#include <string_view>

#include "common/text_table.h"
#include "platform/ipv4_address.h"
#include "platform/text.h"
#include "runner/runner_option_table.h"
#include "sending/input_line.h"
#include "sending/line_notation.h"

namespace {

constexpr uint32_t kMaxSeconds = 86400;
constexpr uint32_t kMaxTickMs = 60000;
constexpr uint32_t kMaxTtl = 255;

struct LanguageName {
    std::u16string_view name;
    int32_t language;
} const kLanguages[] = {{u"ja", kJapanese}, {u"en", kEnglish}, {u"ko", kKorean}, {u"zh", kChinese}};

struct ModeOption {
    std::u16string_view name;
    RunnerMode mode;
    bool addressRequired;
} const kModes[] = {
    {u"--tcp-client", RunnerMode::TcpClient, true},
    {u"--tcp-server", RunnerMode::TcpServer, false},
    {u"--udp-client", RunnerMode::UdpClient, true},
    {u"--udp-server", RunnerMode::UdpServer, false},
};

struct FlagOption {
    std::u16string_view name;
    bool RunnerOptions::*field;
} const kFlags[] = {
    {u"--quiet", &RunnerOptions::quiet},
    {u"--verbose", &RunnerOptions::verbose},
    {u"--check", &RunnerOptions::check},
    {u"--strict", &RunnerOptions::strict},
    {u"--summary", &RunnerOptions::summary},
};

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Decimal digits only, at most `limit`.
bool ParseNumber(std::u16string_view text, uint32_t limit, uint32_t& value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char16_t c : text) {
        if (!IsDigit(c)) return false;
        value = value * 10 + static_cast<uint32_t>(c - u'0');
    }
    return value <= limit;
}

bool ParseDottedAddress(std::u16string_view text, int32_t (&octets)[4]) {
    Ipv4Address address;
    if (!ParseDottedText(text == u"localhost" ? u"127.0.0.1" : text, address)) return false;
    for (int i = 0; i < 4; ++i) octets[i] = address.octets[i];
    return true;
}

std::u16string Quote(std::u16string_view word) { return u"\"" + std::u16string(word) + u"\""; }

// The options that take a value; the value's check and where it goes.
class Parser {
public:
    explicit Parser(RunnerCommand& command) : command_(command), options_(command.options) {}

    bool Word(std::u16string_view name, std::u16string_view value, bool& usedValue) {
        usedValue = true;
        // An option missing from the table would be missing from the man page too.
        if (!FindRunnerOption(name)) return Fail(u"unknown option ", name);
        for (const ModeOption& m : kModes)
            if (name == m.name) return Mode(m, value);
        if (name == u"--local") {
            options_.hasLocal = true;
            return ParseRunnerEndpoint(value, true, options_.local) || Fail(u"--local needs ADDR:PORT, not ", value);
        }
        if (name == u"--join") return Group(value);
        if (name == u"--ttl") {
            uint32_t ttl = 0;
            options_.ttl = ParseNumber(value, kMaxTtl, ttl) ? static_cast<int32_t>(ttl) : -1;
            return options_.ttl >= 0 || Fail(u"--ttl needs hops 0..255, not ", value);
        }
        if (name == u"--settings") return NonEmpty(name, value, options_.settingsFile);
        if (name == u"--trace") return NonEmpty(name, value, options_.traceFile);
        if (name == u"--log") return NonEmpty(name, value, options_.logFile);
        if (name == u"--pcap") return NonEmpty(name, value, options_.pcapFile);
        if (name == u"--reply") return NonEmpty(name, value, options_.replyFile);
        if (name == u"--convert") return NonEmpty(name, value, options_.convertFile);
        if (name == u"--to") {
            options_.hasFormat = ExportFormatByName(Utf16ToUtf8(value), options_.convertFormat);
            return options_.hasFormat || Fail(u"--to takes text, csv or pcap, not ", value);
        }
        if (name == u"--lang") return Language(value);
        if (name == u"--timeout")
            return (ParseRunnerSeconds(value, options_.timeoutMs) && options_.timeoutMs > 0) ||
                   Fail(u"--timeout needs seconds above 0 (at most a day), not ", value);
        if (name == u"--tick")
            return (ParseNumber(value, kMaxTickMs, options_.tickMs) && options_.tickMs > 0) ||
                   Fail(u"--tick needs milliseconds 1..60000, not ", value);
        if (name == u"--listen") {
            options_.listen = true;
            return ParseRunnerSeconds(value, options_.listenMs) ||
                   Fail(u"--listen needs seconds (at most a day), not ", value);
        }
        if (name == u"--send") return Send(value);
        usedValue = false;
        for (const FlagOption& f : kFlags)
            if (name == f.name) {
                options_.*f.field = true;
                return true;
            }
        return Fail(u"unknown option ", name);
    }

    bool TakesValue(std::u16string_view name) const {
        const RunnerOptionRow* row = FindRunnerOption(name);
        return row && !row->value.empty();
    }

    bool Fail(std::u16string_view what, std::u16string_view word = {}) {
        command_.error = std::u16string(what) + (word.empty() ? u"" : Quote(word));
        return false;
    }

private:
    bool Mode(const ModeOption& m, std::u16string_view value) {
        if (options_.mode != RunnerMode::FromSettings) return Fail(u"give only one connection mode");
        options_.mode = m.mode;
        if (ParseRunnerEndpoint(value, m.addressRequired, options_.endpoint)) return true;
        return Fail(std::u16string(m.name) + (m.addressRequired ? u" needs HOST:PORT, not " : u" needs [ADDR:]PORT, not "),
                    value);
    }

    bool Group(std::u16string_view value) {
        options_.hasGroup = ParseDottedText(value, options_.group) && options_.group.IsMulticast();
        return options_.hasGroup || Fail(u"--join needs a multicast group (224.0.0.0 to 239.255.255.255), not ", value);
    }

    bool NonEmpty(std::u16string_view name, std::u16string_view value, std::u16string& field) {
        if (value.empty()) return Fail(std::u16string(name) + u" needs a file name");
        field = value;
        return true;
    }

    bool Language(std::u16string_view value) {
        for (const LanguageName& l : kLanguages)
            if (value == l.name) {
                options_.language = l.language;
                return true;
            }
        return Fail(u"--lang takes ja, en, ko or zh, not ", value);
    }

    bool Send(std::u16string_view value) {
        char16_t codes[kLineCodes + 1];
        int32_t count = ParseLineNotation(value, codes, kLineCodes + 1);
        if (count == 0) return Fail(u"--send gives no bytes: ", value);
        if (count > kLineCodes) return Fail(u"--send gives more than 256 bytes: ", value);
        uint8_t bytes[kLineCodes];
        int32_t n = ConvertLineToBytes(codes, count, bytes);
        options_.sends.emplace_back(bytes, bytes + n);
        return true;
    }

    RunnerCommand& command_;
    RunnerOptions& options_;
};

// A conversion takes its output where a run takes its macro file.
bool CheckConversion(Parser& parser, RunnerOptions& o) {
    if (!o.hasFormat) return parser.Fail(u"--convert needs --to text, csv or pcap");
    if (o.macroFile.empty()) return parser.Fail(u"--convert needs the file to write after --to");
    if (!o.sends.empty() || o.listen || !o.traceFile.empty() || !o.logFile.empty() || !o.pcapFile.empty())
        return parser.Fail(u"--convert runs nothing: no --send, --listen, --trace, --log or --pcap");
    o.outputFile = o.macroFile;
    o.macroFile.clear();
    return true;
}

// The other options of a command line may stay: --check then reads the
// macro that command line would run.
bool CheckMacroOnly(Parser& parser, const RunnerOptions& o) {
    if (o.macroFile.empty()) return parser.Fail(u"--check needs a macro file");
    if (!o.sends.empty() || o.listen || !o.convertFile.empty())
        return parser.Fail(u"--check reads a macro file and runs nothing: no --send, --listen or --convert");
    return true;
}

// A group belongs to a UDP socket; a client joins on the interface it is
// bound to, so it needs --local.
bool CheckGroupOptions(Parser& parser, const RunnerOptions& o) {
    if (!o.hasGroup && o.ttl < 0) return true;
    if (o.mode == RunnerMode::TcpClient || o.mode == RunnerMode::TcpServer)
        return parser.Fail(u"--join and --ttl go with --udp-client or --udp-server");
    if (o.hasGroup && o.mode == RunnerMode::UdpClient && !o.hasLocal)
        return parser.Fail(u"--join on a UDP client needs --local ADDR:PORT, the interface to join on");
    return true;
}

bool CheckCombination(Parser& parser, RunnerOptions& o) {
    bool macro = !o.macroFile.empty();
    if (o.hasFormat) return parser.Fail(u"--to goes with --convert");
    if (o.strict && o.replyFile.empty()) return parser.Fail(u"--strict goes with --reply");
    // Rules alone make a device that serves until it is told to stop.
    if (!o.replyFile.empty() && !macro && o.sends.empty() && !o.listen) o.listen = true;
    if (macro && !o.sends.empty()) return parser.Fail(u"give a macro file or --send, not both");
    if (macro && o.listen) return parser.Fail(u"--listen goes with --send or alone, not with a macro file");
    if (!macro && o.sends.empty() && !o.listen) return parser.Fail(u"nothing to run: give a macro file, --send or --listen");
    if (o.hasLocal && (o.mode == RunnerMode::TcpServer || o.mode == RunnerMode::UdpServer))
        return parser.Fail(u"--local binds a client; a server takes its address in its own option");
    return CheckGroupOptions(parser, o);
}

}  // namespace

bool ParseRunnerEndpoint(std::u16string_view text, bool addressRequired, RunnerEndpoint& endpoint) {
    endpoint = RunnerEndpoint{};
    size_t colon = text.rfind(u':');
    if (colon == std::u16string_view::npos) {
        if (addressRequired) return false;
    } else {
        if (!ParseDottedAddress(text.substr(0, colon), endpoint.octets)) return false;
        endpoint.hasAddress = true;
        text = text.substr(colon + 1);
    }
    uint32_t port = 0;
    if (!ParseNumber(text, 65535, port) || port == 0) return false;
    endpoint.port = static_cast<int32_t>(port);
    return true;
}

bool ParseRunnerSeconds(std::u16string_view text, uint32_t& ms) {
    size_t dot = text.find(u'.');
    std::u16string_view whole = text.substr(0, dot);
    std::u16string_view fraction = dot == std::u16string_view::npos ? std::u16string_view() : text.substr(dot + 1);
    if (dot != std::u16string_view::npos && (fraction.empty() || fraction.size() > 3)) return false;
    uint32_t seconds = 0;
    if (!ParseNumber(whole, kMaxSeconds, seconds)) return false;
    uint32_t thousandths = 0;
    for (size_t i = 0; i < 3; ++i) {
        char16_t c = i < fraction.size() ? fraction[i] : u'0';
        if (!IsDigit(c)) return false;
        thousandths = thousandths * 10 + static_cast<uint32_t>(c - u'0');
    }
    ms = seconds * 1000 + thousandths;
    return ms <= kMaxSeconds * 1000;
}

RunnerCommand ParseRunnerCommand(const std::vector<std::u16string>& args) {
    RunnerCommand command;
    Parser parser(command);
    for (const std::u16string& a : args) {
        if (a == u"--help" || a == u"-h") {
            command.action = RunnerAction::Help;
            return command;
        }
        if (a == u"--version") {
            command.action = RunnerAction::Version;
            return command;
        }
    }
    for (size_t i = 0; i < args.size(); ++i) {
        std::u16string_view word = args[i];
        if (word.size() < 2 || word[0] != u'-') {
            if (!command.options.macroFile.empty()) {
                parser.Fail(u"only one macro file, not also ", word);
                return command;
            }
            command.options.macroFile = word;
            continue;
        }
        // "--name=value" and "--name value" alike.
        std::u16string_view name = word;
        std::u16string_view value;
        size_t equals = word.find(u'=');
        bool inline_value = word.starts_with(u"--") && equals != std::u16string_view::npos;
        if (inline_value) {
            name = word.substr(0, equals);
            value = word.substr(equals + 1);
        } else if (parser.TakesValue(name)) {
            if (i + 1 >= args.size()) {
                parser.Fail(std::u16string(name) + u" needs a value");
                return command;
            }
            value = args[++i];
        }
        bool usedValue = false;
        if (!parser.Word(name, value, usedValue)) return command;
        if (inline_value && !usedValue) {
            parser.Fail(u"this option takes no value: ", word);
            return command;
        }
    }
    if (command.options.check) {
        if (CheckMacroOnly(parser, command.options)) command.action = RunnerAction::Check;
        return command;
    }
    if (!command.options.convertFile.empty()) {
        if (CheckConversion(parser, command.options)) command.action = RunnerAction::Convert;
        return command;
    }
    if (!CheckCombination(parser, command.options)) return command;
    command.action = RunnerAction::Run;
    return command;
}

const char* RunnerUsage() {
    return "usage: lanvisor-run [CONNECTION] [OUTPUT] [RUN] MACRO_FILE\n"
           "       lanvisor-run [CONNECTION] [OUTPUT] --send DATA [--send DATA ...] [--listen SECONDS]\n"
           "       lanvisor-run [CONNECTION] [OUTPUT] --listen SECONDS\n"
           "       lanvisor-run [CONNECTION] --convert TRACE_FILE --to text|csv|pcap OUTPUT_FILE\n"
           "       lanvisor-run --check MACRO_FILE   (report the lines that will not run as written)\n"
           "CONNECTION: --tcp-client HOST:PORT | --tcp-server [ADDR:]PORT | --udp-client HOST:PORT\n"
           "            | --udp-server [ADDR:]PORT, --local ADDR:PORT (bind a client),\n"
           "            --join GROUP (UDP: join a multicast group on the server's ADDR or --local),\n"
           "            --ttl N (hops of sends to a group, 0..255),\n"
           "            --settings FILE (default: Lanvisor.ini in the current folder)\n"
           "OUTPUT:     --quiet, --verbose (also the reports of success), --trace FILE,\n"
           "            --log FILE (text lines), --pcap FILE, --lang ja|en|ko|zh,\n"
           "            --summary (at the end, one line per peer: blocks and bytes; also with --quiet)\n"
           "RUN:        --timeout SECONDS, --tick MS (default 100), --send DATA ('ABC'0D0A),\n"
           "            --listen 0 (until the timeout or a stop request),\n"
           "            --reply RULES (answer as a device; alone it listens until stopped),\n"
           "            --strict (a frame no rule matches ends the run)\n"
           "exit: 0 PEND or done, 1 end of macro without PEND, 2 macro error or failed send,\n"
           "      3 no connection, 4 timeout, 5 a frame no rule matched (--strict),\n"
           "      64 usage error or unusable file, 74 output file not written,\n"
           "      130 interrupted, 143 terminated; --check: 0 clean, 2 findings\n";
}
