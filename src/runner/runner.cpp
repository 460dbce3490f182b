#include "runner/runner.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

#include "common/help_commands.h"
#include "connection/connection.h"
#include "connection/send_data.h"
#include "macro/macro_registers.h"
#include "macro/macro_runner.h"
#include "platform/files.h"
#include "platform/text.h"
#include "runner/console_message_box.h"
#include "runner/runner_setup.h"
#include "runner/trace_lines.h"
#include "trace/trace_buffer.h"
#include "trace/trace_capture.h"
#include "trace/trace_file.h"

namespace {

// How often new trace cells are printed and the clock is looked at.
constexpr uint32_t kPollMs = 10;
constexpr int32_t kCellsPerPoll = 1024;

void PrintError(const std::string& line) {
    std::fputs(("lanvisor-run: " + line + "\n").c_str(), stderr);
    std::fflush(stderr);
}

int UsageError(const std::u16string& reason) {
    PrintError(Utf16ToUtf8(reason));
    std::fputs(RunnerUsage(), stderr);
    return kExitUsage;
}

uint32_t Now() { return SystemTickClock().NowMs(); }

// --log and --pcap: written as the trace grows, so a run longer than the
// trace keeps every block.
CaptureSession g_RunCapture;
bool g_RunCaptureFailed = false;

void PumpRunCapture() {
    if (g_RunCapture.Pump(g_Trace, LocalCaptureClock()) != CaptureStatus::WriteFailed) return;
    g_RunCaptureFailed = true;
    PrintError("cannot write the --log or --pcap file; the run goes on without it");
}

uint32_t NowSeconds() { return static_cast<uint32_t>(std::time(nullptr)); }

void Pause(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Whether the time from `since` to now has reached `span` (tick counts wrap).
bool Reached(uint32_t since, uint32_t span) { return Now() - since >= span; }

enum class Phase { WaitingForPeer, Running, Listening };

class Run {
public:
    Run(const RunnerOptions& options, uint32_t start)
        : o_(options), start_(start),
          lines_(IsServerMode(ModeOf(g_Settings)) ? "?"
                                                                                           : AccessPointText(g_Settings),
                 [this](const std::string& line) { Print(line); }) {}

    int Drive() {
        bool server = IsServerMode(ModeOf(g_Settings));
        bool needsPeer = server && (!o_.macroFile.empty() || !o_.sends.empty());
        phase_ = needsPeer ? Phase::WaitingForPeer : Phase::Running;
        nextTick_ = listenStart_ = Now();
        if (o_.macroFile.empty() && o_.sends.empty()) phase_ = Phase::Listening;
        for (;;) {
            // As the window's timer does: the newest block's stamp counts the
            // quiet time after it until the next block or the close.
            StampPendingTrailer(g_Trace);
            PrintNewCells();
            PumpRunCapture();
            if (o_.timeoutMs > 0 && Reached(start_, o_.timeoutMs)) return TimedOut();
            int verdict = Advance();
            if (verdict >= 0) return verdict;
            Pause(kPollMs);
        }
    }

    void PrintNewCells() {
        TraceCell cells[kCellsPerPoll];
        int32_t first = 0;
        for (int32_t n; (n = TakeUndrawnCells(g_Trace, cells, kCellsPerPoll, first)) > 0;)
            lines_.Feed(cells, n, Now() - start_);
    }

    void FlushLines() {
        PrintNewCells();
        lines_.Flush(Now() - start_);
    }

private:
    // One poll's work; a verdict ends the run, -1 goes on.
    int Advance() {
        switch (phase_) {
        case Phase::WaitingForPeer:
            if (PeerArrived()) {
                phase_ = Phase::Running;
                nextTick_ = Now();
            }
            return -1;
        case Phase::Running:
            if (static_cast<int32_t>(Now() - nextTick_) < 0) return -1;
            nextTick_ += o_.tickMs;
            return o_.macroFile.empty() ? SendNext() : MacroStep();
        case Phase::Listening:
            return o_.listen && !Reached(listenStart_, o_.listenMs) ? -1 : kExitDone;
        }
        return -1;
    }

    // A UDP server has a peer once it lists a sender.
    static bool PeerArrived() {
        if (!IsTcpMode(ModeOf(g_Settings))) {
            uint32_t peers[kUdpPeerCapacity];
            return UdpPeers(g_Connection, peers) > 0;
        }
        return ConnectedClientCount(g_Connection) > 0;
    }

    int MacroStep() {
        if (RunMacroStep(g_MacroRun, g_MacroRegisters, ProgramMacroHost()) != MacroStepResult::Ended) return -1;
        switch (g_MacroRun.Ended) {
        case MacroEnd::Pend: return kExitDone;
        case MacroEnd::EndOfText: return kExitNoPend;
        default: return kExitMacroError;
        }
    }

    // One --send per tick, each after the previous one has gone.
    int SendNext() {
        const std::vector<uint8_t>& bytes = o_.sends[sent_++];
        if (SendAndRecord(bytes.data(), static_cast<int32_t>(bytes.size()), 0, AddressCells::OnlyWhenSent) != 0) {
            PrintError("send " + std::to_string(sent_) + " failed");
            return kExitMacroError;
        }
        if (sent_ < o_.sends.size()) return -1;
        phase_ = Phase::Listening;
        listenStart_ = Now();
        return -1;
    }

    int TimedOut() {
        EndMacroQuietly(g_MacroRun);
        const char* what = phase_ == Phase::WaitingForPeer ? " while waiting for the first peer" : "";
        PrintError("the timeout of " + std::to_string(o_.timeoutMs / 1000) + "." +
                   std::to_string(o_.timeoutMs % 1000 / 100) + " s passed" + what);
        return kExitTimeout;
    }

    void Print(const std::string& line) {
        if (o_.quiet) return;
        std::fputs((line + "\n").c_str(), stdout);
        std::fflush(stdout);
    }

    const RunnerOptions& o_;
    uint32_t start_;
    TraceLineReader lines_;
    Phase phase_ = Phase::Running;
    uint32_t nextTick_ = 0;
    uint32_t listenStart_ = 0;
    size_t sent_ = 0;
};

// Prepares everything that can be refused before a socket is touched.
bool Prepare(const RunnerOptions& o, std::u16string& error) {
    LoadRunnerTexts();
    if (!PrepareSettings(o, g_Settings, error)) return false;
    if (!o.macroFile.empty() && !LoadRunnerMacro(o.macroFile, error)) return false;
    // The trace file is written at the end; find out now that it can be.
    if (!o.traceFile.empty() && !WriteFileBytes(o.traceFile, TraceFileHeader(0))) {
        error = u"cannot write the trace file \"" + o.traceFile + u"\"";
        return false;
    }
    if (!AllocateTrace(g_Trace)) {
        error = u"not enough memory for the trace";
        return false;
    }
    ClearTrace(g_Trace);
    std::vector<CaptureFileSpec> files;
    if (!o.logFile.empty()) files.push_back({o.logFile, ExportFormat::Text});
    if (!o.pcapFile.empty()) files.push_back({o.pcapFile, ExportFormat::Pcap});
    if (!files.empty() && !g_RunCapture.StartFiles(g_Trace, files, ExportEndpointsFrom(g_Settings, NowSeconds()))) {
        error = u"cannot write the --log or --pcap file";
        return false;
    }
    return true;
}

int Convert(const RunnerOptions& o) {
    AppSettings settings;
    std::u16string error;
    // The settings only label the export (peer, ports); without any, the
    // program's defaults do.
    if (!PrepareSettings(o, settings, error)) {
        if (!o.settingsFile.empty()) return UsageError(error);
        settings = AppSettings{};
    }
    switch (ConvertTraceFile(o.convertFile, o.convertFormat, ExportEndpointsFrom(settings, NowSeconds()), o.outputFile)) {
    case ExportResult::Ok:
        return kExitDone;
    case ExportResult::Empty:
        return UsageError(u"the trace file \"" + o.convertFile + u"\" holds no cells");
    case ExportResult::ReadFailed:
        return UsageError(u"cannot read the trace file \"" + o.convertFile + u"\"");
    case ExportResult::WriteFailed:
        break;
    }
    return UsageError(u"cannot write \"" + o.outputFile + u"\"");
}

int RunConnected(const RunnerOptions& o, uint32_t start) {
    Run run(o, start);
    int verdict = run.Drive();
    if (IsConnectionActive()) CloseConnection(nullptr);
    run.FlushLines();
    PumpRunCapture();
    g_RunCapture.Stop(g_Trace);
    if (g_RunCaptureFailed && verdict == kExitDone) verdict = kExitUsage;
    if (!o.traceFile.empty() && WriteTraceFile(g_Trace, o.traceFile) == TraceFileResult::Failed) {
        PrintError("cannot write the trace file \"" + Utf16ToUtf8(o.traceFile) + "\"");
        if (verdict == kExitDone) verdict = kExitUsage;
    }
    return verdict;
}

}  // namespace

int RunLanvisorRun(const std::vector<std::u16string>& args) {
    uint32_t start = Now();
    RunnerCommand command = ParseRunnerCommand(args);
    switch (command.action) {
    case RunnerAction::Help:
        std::fputs(RunnerUsage(), stdout);
        return kExitDone;
    case RunnerAction::Version:
        std::fputs(("lanvisor-run " + Utf16ToUtf8(kVersionNumber) + "\n").c_str(), stdout);
        return kExitDone;
    case RunnerAction::UsageError:
        return UsageError(command.error);
    case RunnerAction::Convert:
        return Convert(command.options);
    case RunnerAction::Run:
        break;
    }
    std::u16string error;
    if (!Prepare(command.options, error)) return UsageError(error);
    ConsoleMessageBox console;
    MessageBoxHost* previous = SetMessageBoxHost(&console);
    int verdict = OpenConnection(nullptr) ? RunConnected(command.options, start) : kExitNoConnection;
    SetMessageBoxHost(previous);
    return verdict;
}
