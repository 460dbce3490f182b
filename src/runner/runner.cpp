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
#include "replies/rules_file.h"
#include "runner/console_message_box.h"
#include "runner/run_printer.h"
#include "runner/runner_check.h"
#include "runner/runner_setup.h"
#include "session/session.h"
#include "session/session_macro_host.h"
#include "trace/trace_capture.h"
#include "trace/trace_file.h"

namespace {

// How often new trace cells are printed and the clock is looked at.
constexpr uint32_t kPollMs = 10;

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

// Standard output; false once the reader closed it (a pipe whose reader ended).
bool WriteOut(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) return false;
    return std::fflush(stdout) == 0;
}

uint32_t Now() { return SystemTickClock().NowMs(); }

uint32_t NowSeconds() { return static_cast<uint32_t>(std::time(nullptr)); }

void Pause(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Whether the time from `since` to now has reached `span` (tick counts wrap).
bool Reached(uint32_t since, uint32_t span) { return Now() - since >= span; }

std::string Seconds(uint32_t ms) { return std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100); }

enum class Phase { WaitingForPeer, Running, Listening };

// One run: the runner's own session, its standard output, and the --log
// and --pcap files written as the trace grows (so a run longer than the
// trace keeps every block).
class Run {
public:
    Run(const RunnerOptions& options, const AppSettings& settings, uint32_t start)
        : o_(options), settings_(settings), start_(start), host_(session_, settings_),
          printer_(IsServerMode(ModeOf(settings)) ? "?" : AccessPointText(settings), options.quiet, WriteOut) {}

    // Everything that can be refused before a socket is touched.
    bool Prepare(std::u16string& error) {
        if (!o_.macroFile.empty() && !PrepareMacro(error)) return false;
        if (!o_.replyFile.empty() && !PrepareRules(error)) return false;
        // The trace file is written at the end, beside the old one first:
        // find out now that it can be, without touching an old file.
        if (!o_.traceFile.empty() && !FileCanBeWritten(o_.traceFile)) {
            error = u"cannot write the trace file \"" + o_.traceFile + u"\"";
            return false;
        }
        session_.Connection.CountPeers = o_.summary;
        if (!AllocateTrace(session_.Trace)) {
            error = u"not enough memory for the trace";
            return false;
        }
        std::vector<CaptureFileSpec> files;
        if (!o_.logFile.empty()) files.push_back({o_.logFile, ExportFormat::Text});
        if (!o_.pcapFile.empty()) files.push_back({o_.pcapFile, ExportFormat::Pcap});
        ExportEndpoints endpoints = ExportEndpointsFrom(settings_, NowSeconds());
        if (!files.empty() && !capture_.StartFiles(session_.Trace, files, endpoints)) {
            error = u"cannot write \"" + capture_.FailedPath() + u"\"";
            return false;
        }
        return true;
    }

    int Execute() {
        // A connect or a send that waits gives up when the run must end.
        session_.Connection.GiveUp = [this] { return gaveUp_ = gaveUp_ || MustEnd(); };
        if (!OpenSession(session_, settings_, nullptr)) {
            if (!gaveUp_) return kExitNoConnection;
            NoteEnd(" while connecting");
        } else {
            outcome_.work = Drive();
            NoteEnd("");  // a send given up ended the work
            if (IsSessionOpen(session_)) CloseSession(session_, nullptr);
        }
        Finish();
        return ExitCodeOf(outcome_);
    }

    // A receive thread that would not end (the close failed) still uses the session.
    bool StillReceiving() const { return session_.Connection.ReceiveThread.Running(); }

private:
    bool PrepareMacro(std::u16string& error) {
        if (!LoadRunnerMacro(o_.macroFile, session_.Macro, error)) return false;
        // A READ before any send counts from the start of the run (the first
        // peer's arrival for a server): a greeting is a reply too.
        session_.Macro.ReplyMarked = true;
        session_.Macro.StopOnFailedSend = true;
        return true;
    }

    bool PrepareRules(std::u16string& error) {
        auto rules = std::make_shared<RuleSet>();
        RulesError fault;
        if (!LoadRulesFile(o_.replyFile, *rules, fault)) {
            error = Utf8ToUtf16(RulesErrorText(Utf16ToUtf8(o_.replyFile), fault));
            return false;
        }
        session_.Replies.Use(std::move(rules));
        session_.Replies.SetOn(true);
        return true;
    }

    // With rules and --listen 0 the run is a device serving until it is told
    // to stop: the time limit or a stop request is its normal end.
    bool ServesUntilStopped() const {
        return !o_.replyFile.empty() && o_.listen && o_.listenMs == 0 && phase_ == Phase::Listening;
    }

    // --strict: the software under test sent what the device would not understand.
    bool StrictFault() {
        if (!o_.strict || session_.Replies.Totals().Unmatched == 0) return false;
        outcome_.unmatched = true;
        PrintError("a frame matched no rule (--strict)");
        return true;
    }

    // One line per rule with how often it answered, then what went wrong.
    void PrintRuleCounts() const {
        if (o_.replyFile.empty() || o_.quiet) return;
        std::shared_ptr<const RuleSet> rules = session_.Replies.Rules();
        std::shared_ptr<const RuleHits> hits = session_.Replies.Hits();
        for (size_t i = 0; i < rules->Rules.size(); ++i) {
            const Rule& rule = rules->Rules[i];
            PrintError("line " + std::to_string(rule.Line) + ": " + std::to_string(hits->Hits[i].load()) + " hit(s): " +
                       rule.Text);
        }
        ReplyTotals totals = session_.Replies.Totals();
        PrintError(std::to_string(totals.Unmatched) + " frame(s) unmatched, " + std::to_string(totals.Failed) +
                   " reply send(s) failed");
    }

    // The run's work; returns what it came to (0, 1 or 2), or kExitDone
    // when the time or a stop request ended it first (noted in outcome_).
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
            LearnLocalEndpoint();
            printer_.Poll(session_.Trace, Now() - start_);
            PumpCapture();
            if (MustEnd() || StrictFault()) return kExitDone;
            int work = Advance();
            if (work >= 0) return work;
            Pause(kPollMs);
        }
    }

    // The pcap's local side is where the socket really is (a client's port
    // is known once it has connected or sent), not the settings' adapter.
    void LearnLocalEndpoint() {
        Ipv4Endpoint local;
        if (localKnown_ || LocalEndpoint(session_.Connection.MainSocket.load(), local) != 0 || local.port == 0) return;
        localKnown_ = true;
        capture_.SetLocalEndpoint(local);
    }

    bool TimeIsUp() const { return o_.timeoutMs > 0 && Reached(start_, o_.timeoutMs); }
    bool MustEnd() const { return PendingStopRequest() != StopRequest::None || TimeIsUp(); }

    // A stop request or the time limit that ends the run, noted once and said.
    void NoteEnd(const char* during) {
        if (outcome_.stop != StopRequest::None || outcome_.timedOut || ServesUntilStopped()) return;
        outcome_.stop = PendingStopRequest();
        outcome_.timedOut = outcome_.stop == StopRequest::None && TimeIsUp();
        if (outcome_.stop == StopRequest::None && !outcome_.timedOut) return;
        EndMacroQuietly(session_.Macro);
        if (phase_ == Phase::WaitingForPeer) during = " while waiting for the first peer";
        if (outcome_.stop != StopRequest::None)
            PrintError(outcome_.stop == StopRequest::Interrupt ? "interrupted" : "asked to end");
        else
            PrintError("the timeout of " + Seconds(o_.timeoutMs) + " s passed" + during);
    }

    // The rest of the output and the files, whatever ended the run.
    void Finish() {
        printer_.Finish(session_.Trace, Now() - start_);
        PrintSummary();
        PrintRuleCounts();
        PumpCapture();
        if (capture_.Stop(session_.Trace) == CaptureStatus::WriteFailed) OutputFailed(capture_.FailedPath());
        if (!o_.traceFile.empty() && WriteTraceFile(session_.Trace, o_.traceFile) == TraceFileResult::Failed)
            OutputFailed(o_.traceFile);
    }

    // --summary: asked for, so printed also when --quiet keeps the blocks back.
    void PrintSummary() const {
        if (!o_.summary) return;
        std::string lines;
        bool datagrams = !IsTcpMode(ModeOf(settings_));
        for (const PeerCount& count : PeerCountsOf(session_.Connection))
            lines += PeerSummaryLine(Now() - start_, count, datagrams) + "\n";
        WriteOut(lines);
    }

    void PumpCapture() {
        if (capture_.Pump(session_.Trace, LocalCaptureClock()) != CaptureStatus::WriteFailed) return;
        OutputFailed(capture_.FailedPath());
    }

    void OutputFailed(const std::u16string& path) {
        outcome_.outputFailed = true;
        PrintError("cannot write \"" + Utf16ToUtf8(path) + "\"");
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
            if (!TickReached(Now(), nextTick_)) return -1;
            nextTick_ += o_.tickMs;
            return o_.macroFile.empty() ? SendNext() : MacroStep();
        case Phase::Listening:
            if (o_.listen && o_.listenMs == 0) return -1;  // until the time limit or a stop request
            return o_.listen && !Reached(listenStart_, o_.listenMs) ? -1 : kExitDone;
        }
        return -1;
    }

    // A client that came and went within a poll was a peer all the same.
    bool PeerArrived() const {
        if (!IsTcpMode(ModeOf(settings_))) {
            Ipv4Address peers[kUdpPeerCapacity];
            return UdpPeers(session_.Connection, peers) > 0;
        }
        return session_.Connection.ClientsAccepted.load() > 0;
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

    const RunnerOptions& o_;
    const AppSettings& settings_;
    uint32_t start_;
    Session session_;
    SessionMacroHost host_;
    CaptureSession capture_;
    RunPrinter printer_;
    RunOutcome outcome_;
    bool gaveUp_ = false;
    bool localKnown_ = false;
    Phase phase_ = Phase::Running;
    uint32_t nextTick_ = 0;
    uint32_t listenStart_ = 0;
    size_t sent_ = 0;
};

int Convert(const RunnerOptions& o) {
    ExportEndpoints endpoints;
    std::u16string error;
    if (!ConversionEndpoints(o, NowSeconds(), endpoints, error)) return FileRefused(error);
    int32_t overlaps = 0;
    switch (ConvertTraceFile(o.convertFile, o.convertFormat, endpoints, o.outputFile, &overlaps)) {
    case ExportResult::Ok:
        // A trace file keeps no client ports: say where the streams may be mixed.
        if (overlaps > 0)
            PrintError(std::to_string(overlaps) + " time(s) two clients of one address were connected at once; "
                       "the trace file cannot tell their blocks apart, so their streams may be mixed");
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
    WatchStopRequests(kExitInterrupted, kExitEndRequested);
    ConsoleMessageBox console(o.verbose);
    MessageBoxHost* previous = SetMessageBoxHost(&console);
    int verdict = run->Execute();
    SetMessageBoxHost(previous);
    StopRequestsDone(verdict);
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
