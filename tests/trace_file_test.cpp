#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/text.h"
#include "platform/text_file.h"
#include "sending/line_file.h"
#include "common/text_table.h"
#include "support/program_folder.h"
#include "common/file_chooser.h"
#include "trace/trace_file.h"

namespace {

// Answers the file dialog from a script and remembers how it was asked.
struct ScriptedFileDialog : FileDialogHost {
    ScriptedFileDialog() : previous(SetFileDialogHost(this)) {}
    ~ScriptedFileDialog() override { SetFileDialogHost(previous); }
    bool Show(WindowHandle, const FileDialogSpec& spec, std::u16string_view title, std::u16string& path) override {
        shownField = path;
        shownTitle = title;
        shownSave = spec.save;
        ++calls;
        if (!cancel) path = answer;
        return !cancel;
    }
    FileDialogHost* previous;
    bool cancel = false, shownSave = false;
    std::u16string answer, shownField, shownTitle;
    int calls = 0;
};

std::string Utf16Bytes(std::u16string_view text) { return EncodeUtf16LeWithBom(text).substr(2); }

class TraceFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(AllocateTrace(trace));
        trace.Clock = &clock;
        ClearTrace(trace);
        savedTexts = g_Texts;
        g_Settings.Language = kEnglish;
        CopyTextInto(g_Texts.Texts[10][kEnglish], u"Save As");
        CopyTextInto(g_Texts.Texts[12][kEnglish], u"Nothing to save");
        CopyTextInto(g_Texts.Texts[13][kEnglish], u"Cannot open");
    }
    void TearDown() override { g_Texts = savedTexts; }

    void Append(std::vector<uint8_t> bytes, TraceCellKind kind = Received) {
        AppendTrace(trace, bytes.data(), static_cast<int32_t>(bytes.size()), kind);
    }

    std::vector<TraceCell> Cells() const {
        std::vector<TraceCell> cells(static_cast<size_t>(TraceCount(trace)));
        CopyTraceCells(trace, 0, TraceCount(trace), cells.data());
        return cells;
    }

    std::string FileWithCount(std::u16string_view countText, size_t cells, uint8_t fill = 0x01) {
        std::string bytes = Utf16Bytes(countText);
        bytes.resize(kTraceHeaderBytes, '\0');
        bytes.append(cells * sizeof(TraceCell), static_cast<char>(fill));
        return bytes;
    }

    ProgramFolder program;
    RecordingMessageBox boxes;
    TraceBuffer trace;
    ManualTickClock clock{5000};
    TextTable savedTexts;
};

bool SameCells(const std::vector<TraceCell>& a, const std::vector<TraceCell>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(TraceCell)) == 0);
}

TEST_F(TraceFileTest, HeaderCounts) {
    struct Row {
        std::u16string_view text;
        int32_t count;
    } rows[] = {
        {u"000000000131201\r", 131201},
        {u"999999999999999\r", INT32_MAX},  // saturates instead of wrapping
        {u"12abc", 12},
        {u"\r", 0},
        {u"-5", -5},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(TraceFileCount(Utf16Bytes(row.text)), row.count) << Utf16ToUtf8(row.text);
    }
    EXPECT_EQ(TraceFileCount(std::string("7")), 0);  // half a code unit
    EXPECT_EQ(TraceFileHeader(131200), Utf16Bytes(u"000000000131200\r"));
}

TEST_F(TraceFileTest, SaveAndLoadRoundTrip) {
    EXPECT_EQ(WriteTraceFile(trace, program.folder.File(u"empty.log")), TraceFileResult::Empty);
    AppendAddressCells(trace, ToAddress, 0x0100007F, 1);
    Append({'A', 'B', 0x0D}, Sent);
    clock.Advance(1234);
    std::vector<uint8_t> big(300);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
    Append(big);
    AppendAddressCells(trace, ClientEvent, 0x0200007F, 11);
    std::vector<TraceCell> before = Cells();

    ASSERT_EQ(WriteTraceFile(trace, program.folder.File(u"t.log")), TraceFileResult::Ok);
    std::string bytes = program.folder.ReadBytes(u"t.log");
    EXPECT_EQ(bytes.size(), 32 + 8 * before.size());
    EXPECT_EQ(bytes.substr(0, 32), TraceFileHeader(int32_t(before.size())));
    ClearTrace(trace);
    Append({9, 9, 9, 9, 9, 9});
    int32_t loaded = -1;
    ASSERT_EQ(ReadTraceFile(trace, program.folder.File(u"t.log"), &loaded), TraceFileResult::Ok);
    EXPECT_EQ(loaded, static_cast<int32_t>(before.size()));
    EXPECT_TRUE(SameCells(Cells(), before));
}

TEST_F(TraceFileTest, RefusedAndShortFiles) {
    struct Row {
        const char* name;
        std::u16string_view header;
        size_t cellsInFile;
        TraceFileResult result;
        int32_t count;  // cells in use afterwards; -1: the trace as it was
    } rows[] = {
        {"count above the capacity", u"000000000131201\r", 4, TraceFileResult::TooLarge, -1},
        {"huge count", u"999999999999999\r", 0, TraceFileResult::TooLarge, -1},
        {"negative count", u"-00000000000004\r", 4, TraceFileResult::TooLarge, -1},
        {"file shorter than its count", u"000000000000010\r", 6, TraceFileResult::Ok, 6},
        {"half a cell at the end counts as missing", u"000000000000003\r", 2, TraceFileResult::Ok, 2},
        {"garbage header", u"Lanvisor trace\r", 5, TraceFileResult::Ok, 0},
        {"count below the cells held", u"000000000000002\r", 5, TraceFileResult::Ok, 2},
        {"exactly the capacity", u"000000000131200\r", 131200, TraceFileResult::Ok, 131200},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ClearTrace(trace);
        Append({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        std::vector<TraceCell> before = Cells();
        std::string bytes = FileWithCount(row.header, row.cellsInFile, 0x07);
        if (std::string(row.name).find("half") != std::string::npos) bytes.append(4, '\x07');
        program.folder.WriteBytes(u"x.log", bytes);
        EXPECT_EQ(ReadTraceFile(trace, program.folder.File(u"x.log")), row.result);
        if (row.count < 0) {
            EXPECT_TRUE(SameCells(Cells(), before));
        } else {
            ASSERT_EQ(TraceCount(trace), row.count);
            if (row.count > 0) {
                EXPECT_EQ(Cells().back().kind, 0x07);
            }
        }
    }
    // A header cut short and an empty file.
    program.folder.WriteBytes(u"short.log", Utf16Bytes(u"00012"));
    EXPECT_EQ(ReadTraceFile(trace, program.folder.File(u"short.log")), TraceFileResult::Ok);
    EXPECT_EQ(TraceCount(trace), 0);
}

TEST_F(TraceFileTest, NoOldStampWritesIntoLoadedCells) {
    // A file of 4 cells whose data would be overwritten by the old trailer.
    Append({0x41});
    ASSERT_EQ(WriteTraceFile(trace, program.folder.File(u"a.log")), TraceFileResult::Ok);
    std::vector<TraceCell> saved = Cells();
    ClearTrace(trace);
    Append({1, 2, 3, 4, 5, 6, 7, 8});  // pending trailer at cell 9 after the load
    Append({1});                       // and now at cell 13
    ASSERT_EQ(ReadTraceFile(trace, program.folder.File(u"a.log")), TraceFileResult::Ok);
    clock.Advance(5000);
    StampPendingTrailer(trace);
    Append({0x42});  // stamps nothing before it, appends after the loaded cells
    std::vector<TraceCell> now = Cells();
    ASSERT_EQ(now.size(), 8u);
    EXPECT_TRUE(SameCells(std::vector<TraceCell>(now.begin(), now.begin() + 4), saved));
    EXPECT_EQ(now[4].value, 0x42);
    // The view redraws no stamp from the cells of the loaded file.
    char16_t high[2], low[2];
    ClearTrace(trace);
    ASSERT_EQ(ReadTraceFile(trace, program.folder.File(u"a.log")), TraceFileResult::Ok);
    EXPECT_FALSE(TakeStampToRedraw(trace, false, high, low));
}

TEST_F(TraceFileTest, ExtensionRules) {
    struct Row {
        std::u16string_view chosen;
        std::u16string_view extension;
        std::u16string_view result;
    } rows[] = {
        {u"C:\\data\\run.a.b", u".log", u"C:\\data\\run.log"},
        {u"C:\\data\\run.Log", u".log", u"C:\\data\\run.Log"},
        {u"C:\\my.folder\\run", u".log", u"C:\\my.folder\\run.log"},
        {u"C:\\m.d\\macro.TXT", u".txt", u"C:\\m.d\\macro.TXT"},
        {u"C:\\data\\.log2", u".log", u"C:\\data\\.log"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ForceExtension(row.chosen, row.extension), row.result) << Utf16ToUtf8(row.chosen);

    struct NameRow {
        int mode;
        std::u16string_view name;
        std::u16string_view completed;
    } names[] = {
        {kChooseSaveLog, u"run", u"Temp1.log"},
        {kChooseOpenText, u"macro", u"Temp1.txt"},
        {kChooseOpenText, u"a.b", u"a.b"},
    };
    for (const NameRow& row : names) {
        std::u16string name(row.name);
        CompleteDefaultName(row.mode, name);
        EXPECT_EQ(name, row.completed);
    }
    EXPECT_EQ(InitialFileField(u"C:\\x\\m.txt", u"D:\\prog"), u"C:\\x\\m.txt");
    EXPECT_EQ(InitialFileField(u"C:m.txt", u"D:\\prog"), u"D:\\prog\\C:m.txt");
    EXPECT_EQ(InitialFileField(u"\\\\srv\\m.txt", u"D:\\prog"), u"\\\\srv\\m.txt");
    EXPECT_EQ(FileDialogFor(kChooseOpenText).filter.substr(0, 14), u"TxtFile(*.txt)");
    EXPECT_EQ(FileDialogFor(7).extension, u".log");
}

TEST_F(TraceFileTest, ChooseFileThroughTheDialog) {
    ScriptedFileDialog dialog;
    char16_t name[kChooseFileCapacity] = u"macro";
    dialog.cancel = true;
    EXPECT_FALSE(ChooseFile(nullptr, kChooseOpenText, name));
    EXPECT_EQ(TextView(name), u"Temp1.txt");  // completed even on cancel
    EXPECT_EQ(dialog.shownField, std::u16string(TextView(g_ProgramDirectory)) + u"\\Temp1.txt");

    dialog.cancel = false;
    dialog.answer = u"C:\\work\\run.dat";
    EXPECT_TRUE(ChooseFile(nullptr, kChooseSaveLog, name));
    EXPECT_EQ(TextView(name), u"C:\\work\\run.log");
    EXPECT_TRUE(dialog.shownSave);
    EXPECT_EQ(dialog.shownTitle, u"Save As");

    // Line files go through the same dialog: saving takes a new name, and
    // nothing is forced on the name chosen.
    char16_t line[kLineFilePathCapacity] = u"";
    dialog.answer = u"C:\\work\\history";
    EXPECT_TRUE(ChooseLineFile(nullptr, line, true));
    EXPECT_EQ(TextView(line), u"C:\\work\\history");
    EXPECT_TRUE(dialog.shownSave);
    EXPECT_EQ(dialog.shownField, std::u16string(TextView(g_ProgramDirectory)) + u"\\temp.txt");
    dialog.cancel = true;
    line[0] = u'\0';
    EXPECT_FALSE(ChooseLineFile(nullptr, line, false));
    EXPECT_FALSE(dialog.shownSave);
}

TEST_F(TraceFileTest, SaveAndLoadCommands) {
    ScriptedFileDialog dialog;
    // Nothing to save: text 12, no dialog, no file.
    EXPECT_FALSE(SaveTrace(nullptr, trace));
    EXPECT_EQ(dialog.calls, 0);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, u"Nothing to save");
    EXPECT_EQ(boxes.Boxes()[0].caption, u"CreateFile");
    boxes.Clear();

    Append({0x41, 0x42});
    dialog.answer = program.folder.File(u"saved");
    EXPECT_TRUE(SaveTrace(nullptr, trace));
    EXPECT_EQ(program.folder.ReadBytes(u"saved.log").size(), 32u + 5 * 8);
    EXPECT_EQ(dialog.shownField, program.folder.File(u"Temp1.log"));

    dialog.answer = program.folder.File(u"no folder\\x.log");
    EXPECT_FALSE(SaveTrace(nullptr, trace));
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, u"Cannot open");
    boxes.Clear();

    // An oversized file is refused with the counts named; the trace stays.
    program.folder.WriteBytes(u"big.log", FileWithCount(u"000000000200000\r", 3));
    dialog.answer = program.folder.File(u"big.log");
    EXPECT_FALSE(LoadTrace(nullptr, trace));
    EXPECT_EQ(TraceCount(trace), 5);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_NE(boxes.Boxes()[0].text.find(u"200000"), std::u16string::npos);
    EXPECT_NE(boxes.Boxes()[0].text.find(u"131200"), std::u16string::npos);
    boxes.Clear();

    dialog.answer = program.folder.File(u"saved.log");
    ClearTrace(trace);
    EXPECT_TRUE(LoadTrace(nullptr, trace));
    EXPECT_EQ(TraceCount(trace), 5);
    EXPECT_EQ(boxes.Count(), 0u);
}

}  // namespace
