// Capture to disk: every block, as it enters the trace, appended to a text
// file in the text export's format, so a session longer than the trace
// keeps everything. The window's timer pumps it; the capture is the trace's
// spill reader (see TraceSpill), so the receive thread never waits for the
// disk and a flood between two pumps loses nothing.
#pragma once

#include <cstdint>
#include <memory>
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

enum class CaptureStatus { Off, On, WriteFailed };

// One file a capture writes.
struct CaptureFileSpec {
    std::u16string path;
    ExportFormat format = ExportFormat::Text;
};

class CaptureSession {
public:
    // Starts capturing the blocks that come from now on into a new text file
    // in `folder`, named by `when`; false when no file can be created there.
    // A file is closed and the next one started at `fileLimit` bytes.
    bool Start(TraceBuffer& trace, std::u16string_view folder, const ExportEndpoints& endpoints,
               const CaptureClock& when, int64_t fileLimit = kCaptureFileLimit);
    // Starts capturing into these files (each replaced if it exists), each in
    // its export format, with no size limit: a run's log and pcap files.
    bool StartFiles(TraceBuffer& trace, const std::vector<CaptureFileSpec>& files, const ExportEndpoints& endpoints);
    // Writes what came since the last call. A failed write stops the
    // capture and reports WriteFailed once; the trace goes on as before.
    CaptureStatus Pump(TraceBuffer& trace, const CaptureClock& when);
    // Writes the rest (a block still without trailer too) and closes;
    // WriteFailed when that last write failed.
    CaptureStatus Stop(TraceBuffer& trace);

    // The address and port the connection really bound, once it is open:
    // the local side of the pcap packets from then on.
    void SetLocalEndpoint(const Ipv4Endpoint& local);

    bool IsOn() const { return !outputs_.empty(); }
    // The (first) file being written.
    const std::u16string& Path() const { return path_; }
    // The file whose write failed last.
    const std::u16string& FailedPath() const { return failedPath_; }
    int32_t FilesStarted() const { return filesStarted_; }

private:
    struct Output {
        std::u16string path;
        AppendFile file;
        ExportFormat format = ExportFormat::Text;
        int64_t bytes = 0;
        std::optional<PcapWriter> pcap;
        std::string pending;
    };

    bool OpenNext(Output& out, const CaptureClock& when);
    void Attach(TraceBuffer& trace, const ExportEndpoints& endpoints);
    bool Flush(Output& out);
    bool AddItem(Output& out, const TraceItem& item, const CaptureClock& when);
    bool Feed(const TraceCell* cells, const TraceCellNote* notes, int32_t count, int32_t alreadySeen, bool finish,
              const CaptureClock& when);
    void StartTimes(const TraceItem& item);
    void Detach(TraceBuffer& trace);

    std::vector<std::unique_ptr<Output>> outputs_;
    bool rotating_ = false;  // the folder capture: dated names, a new file at the limit
    std::u16string folder_;
    std::u16string path_;
    std::u16string failedPath_;
    int64_t fileLimit_ = kCaptureFileLimit;
    int32_t filesStarted_ = 0;
    ExportEndpoints endpoints_;
    TraceDecoder reader_;
    bool started_ = false;  // the first timed item set the pcap's start
    const TickClock* clock_ = &SystemTickClock();  // the trace's
    std::vector<TraceCell> cells_;
    std::vector<TraceCellNote> notes_;
};
