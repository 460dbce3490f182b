#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/file_chooser.h"
#include "common/text_table.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/text_file.h"
#include "support/program_folder.h"
#include "support/program_texts.h"
#include "support/recording_message_box.h"
#include "support/trace_checker.h"
#include "trace/export_commands.h"
#include "trace/trace_file.h"

namespace {

// Answers the file dialog from a script and remembers how it was asked.
struct ScriptedFileDialog : FileDialogHost {
    ScriptedFileDialog() : previous(SetFileDialogHost(this)) {}
    ~ScriptedFileDialog() override { SetFileDialogHost(previous); }
    bool Show(WindowHandle, const FileDialogSpec&, std::u16string_view title, std::u16string& path) override {
        shownField = path;
        shownTitle = title;
        path = answer;
        return true;
    }
    FileDialogHost* previous;
    std::u16string answer, shownField, shownTitle;
};

std::string Utf16Bytes(std::u16string_view text) { return EncodeUtf16LeWithBom(text).substr(2); }

class TraceFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(AllocateTrace(trace));
        trace.Clock = &clock;
        ClearTrace(trace);
    }

    void Append(std::vector<uint8_t> bytes, TraceCellKind kind = Received) {
        AppendTrace(trace, bytes.data(), static_cast<int32_t>(bytes.size()), kind);
    }

    std::string FileWithCount(std::u16string_view countText, size_t cells) {
        std::string bytes = Utf16Bytes(countText);
        bytes.resize(kTraceHeaderBytes, '\0');
        bytes.append(cells * sizeof(TraceCell), 0x07);
        return bytes;
    }

    ProgramFolder program;
    RecordingMessageBox boxes;
    TraceBuffer trace;
    ManualTickClock clock{5000};
    ProgramTexts texts{kEnglish,
                       {{kTextSaveAs, u"Save As"},
                        {kTextNothingToSave, u"Nothing to save"},
                        {kTextCannotOpenFile, u"Cannot open"}}};
};

bool SameCells(const std::vector<TraceCell>& a, const std::vector<TraceCell>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(TraceCell)) == 0);
}

// Hostile files: a count the trace cannot hold is refused and the trace kept;
// otherwise the trace takes what both the count and the file hold.
TEST_F(TraceFileTest, RefusedAndShortFiles) {
    // The cells in use after loading `cells` cells stated as `header`; -1 when
    // the file was refused and the trace kept as it was.
    auto load = [&](std::u16string_view header, size_t cells) {
        ClearTrace(trace);
        Append({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        std::vector<TraceCell> before = SnapshotTrace(trace);
        program.folder.WriteBytes(u"x.log", FileWithCount(header, cells));
        int32_t loaded = -1;
        TraceFileResult result = ReadTraceFile(trace, program.folder.File(u"x.log"), &loaded);
        if (result == TraceFileResult::TooLarge) return SameCells(SnapshotTrace(trace), before) ? -1 : -2;
        EXPECT_EQ(result, TraceFileResult::Ok);
        EXPECT_EQ(loaded, TraceCount(trace));
        EXPECT_TRUE(TraceCount(trace) == 0 || SnapshotTrace(trace).back().kind == 0x07);
        return TraceCount(trace);
    };
    EXPECT_EQ(load(u"000000000131201\r", 4), -1);  // above the capacity
    EXPECT_EQ(load(u"-00000000000004\r", 4), -1);
    EXPECT_EQ(load(u"999999999999999\r", 4), -1);  // the count saturates instead of wrapping
    EXPECT_EQ(load(u"000000000000010\r", 6), 6);  // the file is shorter than its count
    EXPECT_EQ(load(u"000000000000002\r", 5), 2);  // the count is below the cells held
    EXPECT_EQ(load(u"+00000000000003\r", 5), 3);
    EXPECT_EQ(load(u"Lanvisor trace\r", 5), 0);
    EXPECT_EQ(load(u"000000000131200\r", 131200), 131200);
    program.folder.WriteBytes(u"short.log", Utf16Bytes(u"00012"));  // a header cut short
    EXPECT_EQ(ReadTraceFile(trace, program.folder.File(u"short.log")), TraceFileResult::Ok);
    EXPECT_EQ(TraceCount(trace), 0);
    int32_t loaded = 7, stated = 7;
    EXPECT_EQ(ReadTraceFile(trace, program.folder.File(u"no folder\\x.log"), &loaded, &stated),
              TraceFileResult::Failed);
    EXPECT_TRUE(loaded == 0 && stated == 0);
}

// Nothing to save asks for no name; a file that cannot be written or opened
// is reported, one too large with the count it states. (Saving and loading
// back are run end to end.)
TEST_F(TraceFileTest, SaveAndLoadCommands) {
    ScriptedFileDialog dialog;
    EXPECT_EQ(WriteTraceFile(trace, program.folder.File(u"empty.log")), TraceFileResult::Empty);
    EXPECT_FALSE(SaveTrace(nullptr, trace));
    EXPECT_TRUE(dialog.shownTitle.empty());  // no dialog
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, u"Nothing to save");
    boxes.Clear();

    Append({'A', 'B', 0x0D}, Sent);
    dialog.answer = program.folder.File(u"saved");
    EXPECT_TRUE(SaveTrace(nullptr, trace));
    EXPECT_EQ(dialog.shownTitle, u"Save As");
    EXPECT_EQ(dialog.shownField, program.folder.File(u"Temp1.log"));  // offered in the program folder
    EXPECT_EQ(program.folder.ReadBytes(u"saved.log").size(), 32 + 8 * 6u);

    dialog.answer = program.folder.File(u"no folder\\x.log");
    EXPECT_FALSE(SaveTrace(nullptr, trace));
    EXPECT_FALSE(LoadTrace(nullptr, trace));
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].text, u"Cannot open");
    EXPECT_EQ(boxes.Boxes()[1].text, u"Cannot open");
    program.folder.WriteBytes(u"huge.log", FileWithCount(u"000000000131201\r", 1));
    dialog.answer = program.folder.File(u"huge");
    EXPECT_FALSE(LoadTrace(nullptr, trace));
    EXPECT_NE(boxes.Boxes().back().text.find(u"states 131201 cells"), std::u16string::npos);
    dialog.answer = program.folder.File(u"saved");
    EXPECT_TRUE(LoadTrace(nullptr, trace));
    EXPECT_EQ(TraceCount(trace), 6);
    EXPECT_TRUE(EnsureMemoFile(nullptr) && EnsureMemoFile(nullptr));  // made, then found
    dialog.answer = program.folder.File(u"export");  // the trace on screen (the box's Yes), as text
    EXPECT_TRUE(ExportCommand(nullptr, trace, AppSettings{}));
    EXPECT_TRUE(FileExists(program.folder.File(u"export.txt")));

    // The name chosen gets the extension, a dot in a folder name being none;
    // rooted and network paths are offered as they are, others behind the program folder.
    EXPECT_EQ(ForceExtension(u"C:\\my.folder\\run", u".log"), u"C:\\my.folder\\run.log");
    EXPECT_EQ(ForceExtension(u"C:\\data\\run.Log", u".log"), u"C:\\data\\run.Log");
    EXPECT_EQ(InitialFileField(u"C:m.txt", u"D:\\prog"), u"D:\\prog\\C:m.txt");
    EXPECT_EQ(InitialFileField(u"\\\\srv\\m.txt", u"D:\\prog"), u"\\\\srv\\m.txt");
}

}  // namespace
