// Trace files: the whole trace saved as a 32-byte text header (the cell
// count as "%015d" and a carriage return, UTF-16LE, no byte-order mark)
// followed by the raw 8-byte cells; loaded back the same way. Also the memo
// file "temp.txt" that the memo command opens in Notepad.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/message_box.h"
#include "trace/trace_buffer.h"

constexpr int32_t kTraceHeaderBytes = 32;
constexpr std::u16string_view kTraceDefaultName = u"Temp1.log";
constexpr std::u16string_view kMemoFileName = u"temp.txt";

// The header of a file of `count` cells.
std::string TraceFileHeader(int32_t count);

// The count a header states: the decimal number at the start of its text
// (up to 16 code units, stopping at the first non-digit; none gives 0).
// `bytes` may be shorter than a full header.
int32_t TraceFileCount(std::string_view bytes);

enum class TraceFileResult {
    Ok,
    Empty,     // nothing to save
    Failed,    // the file could not be created, opened or read
    TooLarge,  // the header states more cells than the trace holds, or a negative count
};

// Writes the trace's cells in use, taken whole under the trace lock.
TraceFileResult WriteTraceFile(const TraceBuffer& trace, std::u16string_view path);

// Reads a trace file into the trace under its lock. A missing file is created
// empty (and loads as an empty trace). A header count above the capacity is
// refused and the trace stays as it was. A file shorter than its header says
// loads the whole cells it holds, and the trace then ends after them. The
// loaded trace has no pending trailer: no later stamp writes into its cells.
// `loadedCount` (when given) receives the number of cells loaded.
TraceFileResult ReadTraceFile(TraceBuffer& trace, std::u16string_view path, int32_t* loadedCount = nullptr,
                              int32_t* statedCount = nullptr);

// The main window's save command: asks for a name (mode save, default
// "<ProgramDirectory>\Temp1.log") and writes the file; every failure is
// shown to the user. True when a file was written.
bool SaveTrace(WindowHandle owner, const TraceBuffer& trace);

// The main window's load command: asks for a file and loads it. True when
// the trace changed; the caller then turns following on and repaints.
// Loading is allowed while connected: appends after it continue behind the
// loaded cells.
bool LoadTrace(WindowHandle owner, TraceBuffer& trace);

// Makes sure "<ProgramDirectory>\temp.txt" exists, creating it with only a
// byte-order mark. An existing file is never touched. False (after text 13)
// when it can be neither read nor created.
bool EnsureMemoFile(WindowHandle owner);

// The memo command: the program directory as working directory, the memo
// file ensured, then "notepad.exe temp.txt" through the launcher.
void OpenMemo(WindowHandle owner);
