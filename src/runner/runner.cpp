#include "runner/runner.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <thread>

#include "common/help_commands.h"
#include "common/program_context.h"
#include "connection/send_data.h"
#include "platform/files.h"
#include "platform/text.h"
#include "runner/console_message_box.h"
#include "runner/runner_check.h"
#include "runner/runner_setup.h"
#include "runner/trace_lines.h"
#include "session/session.h"
#include "session/session_macro_host.h"
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

// A file that cannot be used: its reason alone, the command line was right.
int FileRefused(const std::u16string& reason) {
    PrintError(Utf16ToUtf8(reason));
    return kExitUsage;
}

uint32_t Now() { return SystemTickClock().NowMs(); }

uint32_t NowSeconds() { return static_cast<uint32_t>(std::time(nullptr)); }

void Pause(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Whether the time from `since` to now has reached `span` (tick counts wrap).
bool Reached(uint32_t since, uint32_t span) { return Now() - since >= span; }

enum class Phase { WaitingForPeer, Running, Listening };

// One run: the runner's own session, its printer's place in the trace, and
// the --log and --pcap files written as the trace grows (so a run longer
// than the trace keeps every block).
class Run {
public:
    Run(const RunnerOptions& options, const AppSettings& settings, uint32_t start)
        : o_(options), settings_(settings), start_(start), host_(session_, settings_),
          lines_(IsServerMode(ModeOf(settings)) ? "?" : AccessPointText(settings),
                 [this](const std::string& line) { Print(line); }) {}

    // Everything that can be refused before a socket is touched.
    bool Prepare(std::u16string& error) {
        if (!o_.macroFile.empty() && !LoadRunnerMacro(o_.macroFile, session_.Macro, error)) return false;
        // The trace file is written at the end; find out now that it can be.
        if (!o_.traceFile.empty() && !WriteFileBytes(o_.traceFile, TraceFileHeader(0))) {
            error = u"cannot write the trace file \"" + o_.traceFile + u"\"";
            return false;
        }
        if (!AllocateTrace(session_.Trace)) {
            error = u"not enough memory for the trace";
            return false;
        }
        std::vector<CaptureFileSpec> files;
        if (!o_.logFile.empty()) files.push_back({o_.logFile, ExportFormat::Text});
        if (!o_.pcapFile.empty()) files.push_back({o_.pcapFile, ExportFormat::Pcap});
        ExportEndpoints endpoints = ExportEndpointsFrom(settings_, NowSeconds());
        if (!files.empty() && !capture_.StartFiles(session_.Trace, files, endpoints)) {
            error = u"cannot write the --log or --pcap file";
            return false;
        }
        return true;
    }

    int Execute() {
        if (!OpenSession(session_, settings_, nullptr)) return kExitNoConnection;
        int verdict = Drive();
        if (IsSessionOpen(session_)) CloseSession(session_, nullptr);
        return Finish(verdict);
    }

    // A receive thread that would not end (the close failed) still uses the session.
    bool StillReceiving() const { return session_.Connection.ReceiveThread.Running(); }

private:
    int Drive() {
        bool server = IsServerMode(ModeOf(settings_));
        bool needsPeer = server && (!o_.macroFile.empty() || !o_.sends.empty());
        phase_ = needsPeer ? Phase::WaitingForPeer : Phase::Running;
        nextTick_ = listenStart_ = Now();
        if (o_.macroFile.empty() && o_.sends.empty()) phase_ = Phase::Listening;
        for (;;) {
            // As the window's timer does: the newest block's stamp counts the
            // quiet time after it until the next block or the close.
            StampPendingTrailer(session_.Trace);
            PrintNewCells();
            PumpCapture();
            if (o_.timeoutMs > 0 && Reached(start_, o_.timeoutMs)) return TimedOut();
            int verdict = Advance();
            if (verdict >= 0) return verdict;
            Pause(kPollMs);
        }
    }

    int Finish(int verdict) {
        PrintNewCells();
        lines_.Flush(Now() - start_);
        PumpCapture();
        capture_.Stop(session_.Trace);
        if (captureFailed_ && verdict == kExitDone) verdict = kExitUsage;
        if (!o_.traceFile.empty() && WriteTraceFile(session_.Trace, o_.traceFile) == TraceFileResult::Failed) {
            PrintError("cannot write the trace file \"" + Utf16ToUtf8(o_.traceFile) + "\"");
            if (verdict == kExitDone) verdict = kExitUsage;
        }
        return verdict;
    }

    void PrintNewCells() {
        TraceCell cells[kCellsPerPoll];
        for (int32_t n; (n = ReadTrace(session_.Trace, printed_, cells, kCellsPerPoll)) > 0;) {
            // Cells after a gap start a new block: what was begun is no part of it.
            if (!(printed_.Missed == missedBefore_)) lines_.Drop();
            missedBefore_ = printed_.Missed;
            lines_.Feed(cells, n, Now() - start_);
        }
    }

    void PumpCapture() {
        if (capture_.Pump(session_.Trace, LocalCaptureClock()) != CaptureStatus::WriteFailed) return;
        captureFailed_ = true;
        PrintError("cannot write the --log or --pcap file; the run goes on without it");
    }

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
    bool PeerArrived() const {
        if (!IsTcpMode(ModeOf(settings_))) {
            Ipv4Address peers[kUdpPeerCapacity];
            return UdpPeers(session_.Connection, peers) > 0;
        }
        return ConnectedClientCount(session_.Connection) > 0;
    }

    int MacroStep() {
        if (StepSessionMacro(session_, host_) != MacroStepResult::Ended) return -1;
        switch (session_.Macro.Ended) {
        case MacroEnd::Pend: return kExitDone;
        case MacroEnd::EndOfText: return kExitNoPend;
        default: return kExitMacroError;
        }
    }

    // One --send per tick, each after the previous one has gone.
    int SendNext() {
        const std::vector<uint8_t>& bytes = o_.sends[sent_++];
        if (SendAndRecord(session_.Connection, session_.Trace, bytes.data(), static_cast<int32_t>(bytes.size()), 0,
                          AddressCells::OnlyWhenSent) != 0) {
            PrintError("send " + std::to_string(sent_) + " failed");
            return kExitMacroError;
        }
        if (sent_ < o_.sends.size()) return -1;
        phase_ = Phase::Listening;
        listenStart_ = Now();
        return -1;
    }

    int TimedOut() {
        EndMacroQuietly(session_.Macro);
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
    const AppSettings& settings_;
    uint32_t start_;
    Session session_;
    SessionMacroHost host_;
    CaptureSession capture_;
    bool captureFailed_ = false;
    TraceReader printed_;
    TraceTraffic missedBefore_;
    TraceLineWriter lines_;
    Phase phase_ = Phase::Running;
    uint32_t nextTick_ = 0;
    uint32_t listenStart_ = 0;
    size_t sent_ = 0;
};

int Convert(const RunnerOptions& o) {
    ExportEndpoints endpoints;
    std::u16string error;
    if (!ConversionEndpoints(o, NowSeconds(), endpoints, error)) return FileRefused(error);
    switch (ConvertTraceFile(o.convertFile, o.convertFormat, endpoints, o.outputFile)) {
    case ExportResult::Ok:
        return kExitDone;
    case ExportResult::Empty:
        return FileRefused(u"the trace file \"" + o.convertFile + u"\" holds no cells");
    case ExportResult::ReadFailed:
        return FileRefused(u"cannot read the trace file \"" + o.convertFile + u"\"");
    case ExportResult::WriteFailed:
        break;
    }
    return FileRefused(u"cannot write \"" + o.outputFile + u"\"");
}

int RunConnection(const RunnerOptions& o, uint32_t start) {
    AppSettings settings;
    std::u16string error;
    if (!PrepareSettings(o, settings, error)) return FileRefused(error);
    LoadRunnerTexts(settings);
    auto run = std::make_unique<Run>(o, settings, start);
    if (!run->Prepare(error)) return FileRefused(error);
    ConsoleMessageBox console(o.verbose);
    MessageBoxHost* previous = SetMessageBoxHost(&console);
    int verdict = run->Execute();
    SetMessageBoxHost(previous);
    // The process ends soon: what a receive thread still uses is left to it.
    if (run->StillReceiving()) run.release();
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
    case RunnerAction::Check: {
        std::u16string error;
        int verdict = CheckRunnerMacro(command.options.macroFile, error);
        return error.empty() ? verdict : FileRefused(error);
    }
    case RunnerAction::Run:
        break;
    }
    return RunConnection(command.options, start);
}
