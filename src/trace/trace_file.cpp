#include "trace/trace_file.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <new>

#include "common/program_context.h"
#include "platform/files.h"
#include "platform/text.h"

namespace {

constexpr std::u16string_view kFileCaption = u"CreateFile";
constexpr size_t kMaxTraceFileBytes = kTraceHeaderBytes + sizeof(TraceCell) * static_cast<size_t>(kTraceCapacity);

void ShowTooLarge(WindowHandle owner, int32_t stated) {
    std::u16string text = g_Program.Language == kJapanese
                              ? FormatString(u"トレースファイルのセル数 %d が上限 %d を超えています。読み込みませんでした。",
                                             {stated, kTraceCapacity})
                              : FormatString(u"The trace file states %d cells; at most %d fit. Nothing was loaded.",
                                             {stated, kTraceCapacity});
    ShowMessageBox(owner, text, kFileCaption, kMbOk);
}

}  // namespace

std::string TraceFileHeader(int32_t count) {
    char16_t text[17] = {};
    FormatText(text, u"%015d\r", {count});
    std::string header(kTraceHeaderBytes, '\0');
    for (int i = 0; i < kTraceHeaderBytes / 2; ++i) {
        header[2 * i] = static_cast<char>(text[i] & 0xFF);
        header[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
    return header;
}

int32_t TraceFileCount(std::string_view bytes) {
    char16_t text[kTraceHeaderBytes / 2] = {};
    size_t units = std::min(bytes.size(), static_cast<size_t>(kTraceHeaderBytes)) / 2;
    for (size_t i = 0; i < units; ++i)
        text[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) | static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
    std::u16string_view view(text, units);
    size_t end = view.find(u'\0');
    if (end != std::u16string_view::npos) view = view.substr(0, end);
    // Read like the program reads numbers (blanks, a sign, digits), but
    // saturating: a huge count must not wrap into one that looks valid.
    size_t i = 0;
    while (i < view.size() && (view[i] == u' ' || view[i] == u'\t')) ++i;
    bool negative = i < view.size() && view[i] == u'-';
    if (i < view.size() && (view[i] == u'+' || view[i] == u'-')) ++i;
    long long value = 0;
    for (; i < view.size() && view[i] >= u'0' && view[i] <= u'9'; ++i)
        value = std::min(value * 10 + (view[i] - u'0'), static_cast<long long>(INT32_MAX));
    return static_cast<int32_t>(negative ? -value : value);
}

TraceFileResult WriteTraceFile(const TraceBuffer& trace, std::u16string_view path) {
    std::unique_ptr<TraceCell[]> cells(new (std::nothrow) TraceCell[kTraceCapacity]);
    if (!cells) return TraceFileResult::Failed;
    int32_t count = CopyTraceCells(trace, 0, kTraceCapacity, cells.get());
    if (count <= 0) return TraceFileResult::Empty;
    std::string bytes = TraceFileHeader(count);
    bytes.append(reinterpret_cast<const char*>(cells.get()), static_cast<size_t>(count) * sizeof(TraceCell));
    return WriteFileBytes(path, bytes) ? TraceFileResult::Ok : TraceFileResult::Failed;
}

TraceFileResult ReadTraceFile(TraceBuffer& trace, std::u16string_view path, int32_t* loadedCount,
                              int32_t* statedCount) {
    if (loadedCount) *loadedCount = 0;
    if (statedCount) *statedCount = 0;
    std::string bytes;
    FileReadResult read = ReadFileHead(path, bytes, kMaxTraceFileBytes + 1, kFileHeadExclusive | kFileHeadCreateMissing);
    if (read != FileReadResult::Ok) return TraceFileResult::Failed;
    int32_t stated = TraceFileCount(bytes);
    if (statedCount) *statedCount = stated;
    if (stated < 0 || stated > kTraceCapacity) return TraceFileResult::TooLarge;

    size_t body = bytes.size() > static_cast<size_t>(kTraceHeaderBytes) ? bytes.size() - kTraceHeaderBytes : 0;
    int32_t held = static_cast<int32_t>(std::min(body / sizeof(TraceCell), static_cast<size_t>(kTraceCapacity)));
    int32_t count = std::min(stated, held);
    // The loaded cells are no new traffic: readers, the capture among them,
    // go on behind them.
    const auto* cells = reinterpret_cast<const TraceCell*>(bytes.data() + kTraceHeaderBytes);
    if (!LoadTraceCells(trace, cells, count)) return TraceFileResult::Failed;
    if (loadedCount) *loadedCount = count;
    return TraceFileResult::Ok;
}

bool SaveTrace(WindowHandle owner, const TraceBuffer& trace) {
    if (TraceCount(trace) == 0) {
        ShowAppMessage(owner, kTextNothingToSave, kAppMessageOk, kFileCaption);
        return false;
    }
    char16_t name[kChooseFileCapacity] = {};
    CopyTextInto(name, ProgramFilePath(kTraceDefaultName));
    if (!ChooseFile(owner, kChooseSaveLog, name)) return false;
    switch (WriteTraceFile(trace, TextView(name))) {
    case TraceFileResult::Ok:
        return true;
    case TraceFileResult::Empty:
        ShowAppMessage(owner, kTextNothingToSave, kAppMessageOk, kFileCaption);
        return false;
    default:
        ShowAppMessage(owner, kTextCannotOpenFile, kAppMessageOk, kFileCaption);
        return false;
    }
}

bool LoadTrace(WindowHandle owner, TraceBuffer& trace) {
    char16_t name[kChooseFileCapacity] = {};
    CopyTextInto(name, ProgramFilePath(kTraceDefaultName));
    if (!ChooseFile(owner, kChooseOpenLog, name)) return false;
    int32_t stated = 0;
    switch (ReadTraceFile(trace, TextView(name), nullptr, &stated)) {
    case TraceFileResult::Ok:
        return true;
    case TraceFileResult::TooLarge:
        ShowTooLarge(owner, stated);
        return false;
    default:
        ShowAppMessage(owner, kTextCannotOpenFile, kAppMessageOk, kFileCaption);
        return false;
    }
}

bool EnsureMemoFile(WindowHandle owner) {
    std::u16string path = ProgramFilePath(kMemoFileName);
    std::string bytes;
    FileReadResult read = ReadFileHead(path, bytes, 0, kFileHeadShared);
    if (read == FileReadResult::Ok) return true;
    // Only a missing file is created: one that exists but cannot be read
    // holds the user's notes and is never replaced.
    if (read == FileReadResult::Missing && WriteFileBytes(path, std::string_view("\xFF\xFE", 2))) return true;
    ShowAppMessage(owner, kTextCannotOpenFile, kAppMessageOk, kFileCaption);
    return false;
}

void OpenMemo(WindowHandle owner) {
    SetWorkingDirectory(TextView(g_Program.Directory));
    if (!EnsureMemoFile(owner)) return;
    CurrentLauncher().Open(owner, u"notepad.exe", kMemoFileName, u"");
}
