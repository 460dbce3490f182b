#include "trace/trace_capture.h"

#include <ctime>

#include "platform/files.h"
#include "platform/text.h"

namespace {

std::u16string TwoDigits(int v) {
    return std::u16string(1, static_cast<char16_t>(u'0' + v / 10 % 10)) + static_cast<char16_t>(u'0' + v % 10);
}

bool SameFileName(std::u16string_view a, std::u16string_view b) { return EqualsIgnoreAsciiCase(a, b); }

}  // namespace

CaptureClock LocalCaptureClock() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

std::u16string CaptureFileName(const CaptureClock& when, int serial) {
    std::u16string name = u"Lanvisor_" + TwoDigits(when.year / 100) + TwoDigits(when.year) + TwoDigits(when.month) +
                          TwoDigits(when.day) + u"_" + TwoDigits(when.hour) + TwoDigits(when.minute) +
                          TwoDigits(when.second);
    if (serial > 1) name += u"_" + Utf8ToUtf16(std::to_string(serial));
    return name + u".txt";
}

bool CaptureSession::OpenNext(Output& out, const CaptureClock& when) {
    out.file.Close();
    // A name already used (two files in one second, or a file of an earlier
    // run) gets a serial number: a capture never appends to an old file.
    for (int serial = 1; serial < 1000; ++serial) {
        std::u16string name = CaptureFileName(when, serial);
        std::u16string path = folder_.empty() ? name : folder_ + u"\\" + name;
        if (SameFileName(path, path_) || FileExists(path)) continue;
        out.path = path;
        if (!out.file.Open(path)) return false;
        path_ = path;
        out.bytes = 0;
        ++filesStarted_;
        return true;
    }
    return false;
}

bool CaptureSession::Start(TraceBuffer& trace, std::u16string_view folder, const ExportEndpoints& endpoints,
                           const CaptureClock& when, int64_t fileLimit) {
    Stop(trace);
    fileLimit_ = fileLimit;
    rotating_ = true;
    folder_ = std::u16string(folder);
    while (!folder_.empty() && (folder_.back() == u'\\' || folder_.back() == u'/')) folder_.pop_back();
    path_.clear();
    filesStarted_ = 0;
    auto out = std::make_unique<Output>();
    if (!OpenNext(*out, when)) return false;
    outputs_.push_back(std::move(out));
    Attach(trace, endpoints);
    return true;
}

bool CaptureSession::StartFiles(TraceBuffer& trace, const std::vector<CaptureFileSpec>& files,
                                const ExportEndpoints& endpoints) {
    Stop(trace);
    rotating_ = false;
    filesStarted_ = 0;
    for (const CaptureFileSpec& spec : files) {
        auto out = std::make_unique<Output>();
        out->path = spec.path;
        out->format = spec.format;
        std::string header = spec.format == ExportFormat::Csv    ? CsvExportHeader()
                             : spec.format == ExportFormat::Pcap ? PcapWriter::FileHeader()
                                                                 : std::string();
        // A fresh file with its header, then appends.
        if (!WriteFileBytes(spec.path, header) || !out->file.Open(spec.path)) {
            failedPath_ = spec.path;
            outputs_.clear();
            return false;
        }
        out->bytes = static_cast<int64_t>(header.size());
        if (outputs_.empty()) path_ = spec.path;
        outputs_.push_back(std::move(out));
        ++filesStarted_;
    }
    if (outputs_.empty()) return false;
    Attach(trace, endpoints);
    return true;
}

void CaptureSession::Attach(TraceBuffer& trace, const ExportEndpoints& endpoints) {
    endpoints_ = endpoints;
    for (auto& out : outputs_) out->pcap.emplace(endpoints);
    reader_ = TraceDecoder();
    started_ = false;
    clock_ = trace.Clock;
    KeepTraceFromNow(trace, true);
}

bool CaptureSession::Flush(Output& out) {
    bool ok = out.pending.empty() || out.file.Write(out.pending);
    out.bytes += static_cast<int64_t>(out.pending.size());
    out.pending.clear();
    if (!ok) failedPath_ = out.path;
    return ok;
}

bool CaptureSession::AddItem(Output& out, const TraceItem& item, const CaptureClock& when) {
    std::string line;
    switch (out.format) {
    case ExportFormat::Text: line = TextExportLine(item, endpoints_); break;
    case ExportFormat::Csv: line = CsvExportRow(item, endpoints_); break;
    case ExportFormat::Pcap: out.pcap->Item(item, line); break;
    }
    int64_t written = out.bytes + static_cast<int64_t>(out.pending.size());
    // A file ends at a line end, before it would pass the limit.
    if (rotating_ && written > 0 && written + static_cast<int64_t>(line.size()) > fileLimit_ &&
        !(Flush(out) && OpenNext(out, when)))
        return false;
    out.pending += line;
    return out.pending.size() < (1u << 20) || Flush(out);
}

void CaptureSession::SetLocalEndpoint(const Ipv4Endpoint& local) {
    endpoints_.localAddress = local.address;
    endpoints_.localPort = local.port;
    for (auto& out : outputs_) out->pcap->SetEndpoints(endpoints_);
}

// The pcap starts at the real time of the first item that came.
void CaptureSession::StartTimes(const TraceItem& item) {
    if (started_ || !item.timed) return;
    started_ = true;
    StartAtTick(endpoints_, item.tick, *clock_);
    for (auto& out : outputs_) out->pcap->SetEndpoints(endpoints_);
}

bool CaptureSession::Feed(const TraceCell* cells, const TraceCellNote* notes, int32_t count, int32_t alreadySeen,
                          bool finish, const CaptureClock& when) {
    bool ok = true;
    TraceItemSink sink = [&](const TraceItem& item) {
        StartTimes(item);
        for (auto& out : outputs_) ok = ok && AddItem(*out, item, when);
    };
    reader_.Feed(cells, count, sink, alreadySeen, notes);
    if (finish) reader_.Finish(sink);
    for (auto& out : outputs_) ok = Flush(*out) && ok;
    return ok;
}

CaptureStatus CaptureSession::Pump(TraceBuffer& trace, const CaptureClock& when) {
    if (!IsOn()) return CaptureStatus::Off;
    int32_t again = TakeKept(trace, cells_, notes_);
    bool ok = Feed(cells_.data(), notes_.data(), static_cast<int32_t>(cells_.size()), again, false, when);
    if (ok) return CaptureStatus::On;
    Detach(trace);
    return CaptureStatus::WriteFailed;
}

CaptureStatus CaptureSession::Stop(TraceBuffer& trace) {
    if (!IsOn()) return CaptureStatus::Off;
    CaptureClock when = LocalCaptureClock();
    if (Pump(trace, when) != CaptureStatus::On) return CaptureStatus::WriteFailed;
    bool ok = Feed(nullptr, nullptr, 0, 0, true, when);
    Detach(trace);
    return ok ? CaptureStatus::Off : CaptureStatus::WriteFailed;
}

void CaptureSession::Detach(TraceBuffer& trace) {
    outputs_.clear();
    KeepTraceFromNow(trace, false);
}
