// Capture to disk: every block, as it enters the trace, appended to a text
// file in the text export's format, so a session longer than the trace
// keeps everything. The window's timer calls PumpCapture; the receive thread
// only moves cells as it always does (see TraceCaptureMark).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/append_file.h"
#include "trace/trace_buffer.h"
#include "trace/trace_export.h"

// A capture file is closed and the next one started at this size.
constexpr int64_t kCaptureFileLimit = 64ll * 1024 * 1024;

struct CaptureClock {
    int year, month, day, hour, minute, second;
};
// The local date and time now.
CaptureClock LocalCaptureClock();

// "Lanvisor_YYYYMMDD_HHMMSS.txt"; `serial` above 1 adds "_<serial>" (two files
// started in the same second).
std::u16string CaptureFileName(const CaptureClock& when, int serial);

// Under the trace lock: the cells not yet taken (those compaction kept
// aside first), from the capture's mark to the end. Returns how many cells
// at the end will be given again next time: a trailer that is still
// counting and what follows it, whose stamp is final only when the next
// block comes.
int32_t TakeCaptureCells(TraceBuffer& trace, std::vector<TraceCell>& out);

enum class CaptureStatus { Off, On, WriteFailed };

class CaptureSession {
public:
    // Starts capturing the blocks that come from now on into a new file in
    // `folder`; false when no file can be created there. A file is closed
    // and the next one started at `fileLimit` bytes.
    bool Start(TraceBuffer& trace, std::u16string_view folder, const ExportEndpoints& endpoints,
               const CaptureClock& when, int64_t fileLimit = kCaptureFileLimit);
    // Starts capturing into one file at `path` (replaced if it exists) in any
    // export format, with no size limit: a run's log or pcap file.
    bool StartFile(TraceBuffer& trace, std::u16string_view path, ExportFormat format, const ExportEndpoints& endpoints);
    // Writes what came since the last call. A failed write stops the
    // capture and reports WriteFailed once; the trace goes on as before.
    CaptureStatus Pump(TraceBuffer& trace, const CaptureClock& when);
    // Writes the rest (a block still without trailer too) and closes.
    void Stop(TraceBuffer& trace);

    bool IsOn() const { return file_.IsOpen(); }
    const std::u16string& Path() const { return path_; }
    int32_t FilesStarted() const { return filesStarted_; }

private:
    bool OpenNext(const CaptureClock& when);
    void Attach(TraceBuffer& trace, const ExportEndpoints& endpoints, ExportFormat format);
    bool WriteLines(std::string& text);
    bool AddLine(const TraceItem& item, std::string& text, const CaptureClock& when);
    void Detach(TraceBuffer& trace);

    AppendFile file_;
    std::u16string folder_;
    std::u16string path_;
    int64_t fileBytes_ = 0;
    int64_t fileLimit_ = kCaptureFileLimit;
    int32_t filesStarted_ = 0;
    ExportEndpoints endpoints_;
    ExportFormat format_ = ExportFormat::Text;
    bool oneFile_ = false;
    std::optional<PcapWriter> pcap_;
    TraceItemReader reader_;
    int32_t givenAgain_ = 0;
    std::vector<TraceCell> cells_;
};
