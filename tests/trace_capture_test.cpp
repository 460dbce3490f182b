#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <sstream>

#include "platform/files.h"
#include "platform/text.h"
#include "support/recording_message_box.h"
#include "support/temp_folder.h"
#include "trace/export_commands.h"
#include "trace/trace_capture.h"

namespace {

constexpr CaptureClock kNoon{2026, 3, 4, 12, 5, 9};

struct CapturedBlock {
    std::string time;
    std::string word;
    std::vector<uint8_t> bytes;
};

// The blocks of capture files, read back from their hex columns.
std::vector<CapturedBlock> ReadCapture(const TempFolder& folder) {
    std::vector<std::u16string> names;
    ListFileNames(folder.Path(), names);
    std::sort(names.begin(), names.end());
    std::vector<CapturedBlock> blocks;
    for (const std::u16string& name : names) {
        std::istringstream lines(folder.ReadBytes(name));
        for (std::string line; std::getline(lines, line);) {
            std::istringstream fields(line);
            CapturedBlock b;
            std::string peer;
            int length = 0;
            fields >> b.time >> b.word >> peer >> length;
            EXPECT_LE(length, 1023);
            for (std::string hex; length-- > 0 && fields >> hex;)
                b.bytes.push_back(static_cast<uint8_t>(std::stoi(hex, nullptr, 16)));
            blocks.push_back(b);
        }
    }
    return blocks;
}

std::vector<uint8_t> Numbered(int n, int length) {
    std::vector<uint8_t> bytes(static_cast<size_t>(length), static_cast<uint8_t>(n * 31));
    bytes[0] = static_cast<uint8_t>(n >> 8);
    bytes[1] = static_cast<uint8_t>(n);
    return bytes;
}

class TraceCapture : public ::testing::Test {
protected:
    void SetUp() override {
        trace.Clock = &clock;
        ASSERT_TRUE(AllocateTrace(trace));
    }

    TempFolder folder;
    ManualTickClock clock;
    TraceBuffer trace;
    CaptureSession capture;
    RecordingMessageBox boxes;
};

// Floods between two pumps pass several compactions, a clear and a
// still-counting trailer: the file still holds every block, in order, with
// final times.
TEST_F(TraceCapture, KeepsEveryBlockThroughCompactionsClearsAndCountingStamps) {
    std::vector<uint8_t> before = Numbered(9999, 5);
    AppendTrace(trace, before.data(), 5, Received);  // before the start: not captured
    ASSERT_TRUE(capture.Start(trace, folder.Path(), ExportEndpoints{}, kNoon));
    EXPECT_EQ(capture.Path(), folder.File(u"Lanvisor_20260304_120509.txt"));

    int n = 0;
    auto block = [&](int length, TraceCellKind kind) {
        std::vector<uint8_t> bytes = Numbered(n++, length);
        AppendTrace(trace, bytes.data(), length, kind);
    };
    block(10, Received);
    EXPECT_EQ(capture.Pump(trace, kNoon), CaptureStatus::On);
    clock.Advance(1200);
    StampPendingTrailer(trace);
    AppendAddressCells(trace, ClientEvent, Ipv4Address{{127, 0, 0, 4}}, 1);  // after a counting trailer
    EXPECT_EQ(capture.Pump(trace, kNoon), CaptureStatus::On);
    clock.Advance(300);
    block(3, Sent);  // 1.5 s after the first
    for (int i = 0; i < 300; ++i) block(1000 + i % 24, i % 3 ? Received : Sent);  // ~300,000 cells
    ClearTrace(trace);
    for (int i = 0; i < 5; ++i) block(7, Received);
    EXPECT_EQ(capture.Pump(trace, kNoon), CaptureStatus::On);
    capture.Stop(trace);
    std::vector<CapturedBlock> lines = ReadCapture(folder);
    ASSERT_EQ(lines.size(), static_cast<size_t>(n + 1));
    EXPECT_EQ(lines[1].word, "OPEN");
    EXPECT_EQ(lines[2].time, "1.5");
    EXPECT_EQ(lines[2].word, "SEND");
    int next = 0;
    for (const CapturedBlock& b : lines) {
        if (b.word == "OPEN") continue;
        ASSERT_EQ(b.bytes[0] << 8 | b.bytes[1], next) << b.time;
        ++next;
    }
}

// The runner's outputs read the trace as the window's capture does: a flood
// between two pumps passes compactions and loses nothing.
TEST_F(TraceCapture, RunOutputsKeepEveryBlockThroughCompactions) {
    EXPECT_FALSE(capture.StartFiles(trace, {}, ExportEndpoints{}) || trace.Spill.Active);  // no file, no spill
    ASSERT_TRUE(capture.StartFiles(trace, {{folder.File(u"run.txt"), ExportFormat::Text}}, ExportEndpoints{}));
    for (int i = 0; i < 300; ++i) {
        std::vector<uint8_t> bytes = Numbered(i, 1000);
        AppendTrace(trace, bytes.data(), 1000, Received);
    }
    EXPECT_EQ(capture.Pump(trace, kNoon), CaptureStatus::On);
    EXPECT_EQ(capture.Stop(trace), CaptureStatus::Off);
    std::vector<CapturedBlock> lines = ReadCapture(folder);
    ASSERT_EQ(lines.size(), 300u);
    for (int i = 0; i < 300; ++i) ASSERT_EQ(lines[i].bytes[0] << 8 | lines[i].bytes[1], i);
}

// A long session goes on in a new file at the size limit; a file that cannot
// be written stops the capture and says so.
TEST_F(TraceCapture, StartsNewFilesAtTheLimitAndStopsWhenTheFolderIsGone) {
    std::time_t now = std::time(nullptr);  // file names come from the local clock, months from 1
    CaptureClock clock = LocalCaptureClock();
    std::tm local = *std::localtime(&now);
    EXPECT_EQ(clock.year * 100 + clock.month, (local.tm_year + 1900) * 100 + local.tm_mon + 1);

    std::u16string sub = folder.File(u"cap");
    ASSERT_TRUE(CreateDirectoryAt(sub));
    ASSERT_TRUE(capture.Start(trace, sub + u"\\", ExportEndpoints{}, kNoon, 1000));
    std::vector<uint8_t> bytes(100, 0x41);
    for (int i = 0; i < 25; ++i) AppendTrace(trace, bytes.data(), 100, Received);  // ~500 bytes a line
    EXPECT_EQ(capture.Pump(trace, kNoon), CaptureStatus::On);
    EXPECT_EQ(capture.FilesStarted(), 13);  // two lines a file, same second: serial names
    EXPECT_EQ(capture.Path(), sub + u"\\Lanvisor_20260304_120509_13.txt");

    std::string gone = Utf16ToUtf8(sub);
    std::replace(gone.begin(), gone.end(), '\\', '/');
#ifdef _WIN32
    // Windows keeps a folder with an open file in it: a folder in the way of
    // the next file's name fails the same way.
    std::filesystem::create_directory(gone + "/Lanvisor_20260304_120509_14.txt");
#else
    std::filesystem::remove_all(gone);
#endif
    AppendTrace(trace, bytes.data(), 100, Received);
    AppendTrace(trace, bytes.data(), 100, Received);
    EXPECT_EQ(capture.Pump(trace, kNoon), CaptureStatus::WriteFailed);
    EXPECT_FALSE(trace.Spill.Active);
    EXPECT_FALSE(capture.Start(trace, sub, ExportEndpoints{}, kNoon));
    // The menu command says when it cannot start, and keeps the capture off.
    AppSettings settings;
    CopyTextInto(settings.CaptureFolder, folder.File(u"no such folder"));
    EXPECT_FALSE(ToggleCaptureCommand(nullptr, {capture, trace, settings}));
    EXPECT_TRUE(boxes.Count() == 1 && settings.CaptureOn == 0);
}

}  // namespace
