#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "sending/line_file.h"
#include "sending/line_file_format.h"
#include "shell/app_settings.h"
#include "shell/text_table.h"
#include "support/program_folder.h"

namespace {

using Codes = std::vector<char16_t>;

Codes CodesOf(const LineEntry& e) { return Codes(e.codes, e.codes + e.count); }

void Set(LineEntry& entry, const Codes& codes) { SetLineEntry(entry, codes.data(), int32_t(codes.size())); }

// A file from its text lines: the mark, then each line with CR LF.
std::string FileOfLines(const std::vector<std::u16string>& lines) {
    std::u16string text;
    for (const auto& l : lines) text += l + u"\r\n";
    return Utf16LeFile(text);
}

TEST(LineFileName, GetsTheTxtExtension) {
    const struct {
        std::u16string_view given, saved;
    } cases[] = {
        {u"temp.txt", u"temp.txt"},
        {u"TEMP.TXT", u"TEMP.TXT"},
        {u"data.Txt", u"data.Txt"},
        {u"data.htm", u"data.txt"},      // the fourth-last is a dot
        {u"data.md", u"data.txt"},       // the third-last
        {u"data.c", u"data.txt"},        // the second-last
        {u"data.", u"data.txt"},         // the last
        {u"data", u"data.txt"},          // no dot: appended
        {u"data.html", u"data.html.txt"},
        {u"a.b.cd", u"a.b.txt"},         // the first dot from the fourth-last on
        {u"x.y.z", u"x.txt"},
        {u"C:\\dir.v2\\data", u"C:\\dir.v2\\data.txt"},
        {u"ab", u"ab.txt"},
        {u".c", u".txt"},
    };
    for (const auto& c : cases) EXPECT_EQ(LineFileName(c.given), c.saved) << Utf16ToUtf8(c.given);
}

TEST(LineFileBytes, ByteExact) {
    auto history = std::make_unique<SendHistory>();
    EXPECT_EQ(LineFileBytes(history->Lines()), std::string("\xFF\xFE", 2));

    Set(history->Entries[0], {0x41});
    Set(history->Entries[1], {0x42});
    Set(history->Entries[2], {0x43});
    const char expected[] = "\xFF\xFE" "4\0" "1\0" "\r\0\n\0" "4\0" "2\0" "\r\0\n\0" "4\0" "3\0" "\r\0\n\0";
    EXPECT_EQ(LineFileBytes(history->Lines()), std::string(expected, 26));

    // An empty entry ends the file.
    Set(history->Entries[4], {0x44});
    EXPECT_EQ(LineFileBytes(history->Lines()).size(), 26u);
}

TEST(ReadLineFileBytes, LinesBecomeEntries) {
    auto table = std::make_unique<PresetTable>();
    ASSERT_TRUE(ReadLineFileBytes(FileOfLines({u"41", u"\"AT\"0D0A", u"", u"4", u"42"}), *table));
    const Codes expected[] = {{0x41}, {0x41, 0x54, 0x0D, 0x0A}, {}, {}, {0x42}, {}};
    for (size_t k = 0; k < std::size(expected); ++k) EXPECT_EQ(CodesOf(table->Entries[k]), expected[k]) << k;
}

TEST(ReadLineFileBytes, LineEnds) {
    const struct {
        const char* name;
        std::u16string text;  // after the mark
        std::vector<Codes> entries;
    } cases[] = {
        {"no line break at the end", u"4142", {{0x41, 0x42}}},
        {"a lone LF stays in the line as a pair character", u"4\n41\r\n42", {{0x04, 0x41}, {0x42}}},
        {"a lone CR too", u"4\r41\r\n", {{0x04, 0x41}}},
        {"a line break at the start of a line", u"\r\n41", {{}, {0x41}}},
        {"two trailing breaks are removed", u"41\n\r\n42", {{0x41}, {0x42}}},
        {"a third is not", u"41\n\n\r\n", {{0x41, 0x00}}},
        {"CR LF inside quotes still ends the line", u"'a\r\n'b'", {{u'a'}, {u'b'}}},
    };
    for (const auto& c : cases) {
        auto table = std::make_unique<PresetTable>();
        ASSERT_TRUE(ReadLineFileBytes(Utf16LeFile(c.text), *table)) << c.name;
        for (size_t k = 0; k < c.entries.size(); ++k) EXPECT_EQ(CodesOf(table->Entries[k]), c.entries[k]) << c.name << k;
    }
}

TEST(ReadLineFileBytes, TheFifthLineEmptyKeepsItsPlace) {
    auto table = std::make_unique<PresetTable>();
    ASSERT_TRUE(ReadLineFileBytes(FileOfLines({u"01", u"02", u"03", u"04", u"", u"06"}), *table));
    EXPECT_EQ(table->Entries[3].count, 1);
    EXPECT_EQ(table->Entries[4].count, 0);
    EXPECT_EQ(CodesOf(table->Entries[5]), Codes{0x06});
}

TEST(ReadLineFileBytes, OnlyTheFirst200LinesAreRead) {
    std::vector<std::u16string> lines;
    for (int i = 0; i < 250; ++i) lines.push_back(FormatString(u"%04X", {i}));
    auto table = std::make_unique<PresetTable>();
    Set(table->Entries[201], {0x99});  // a spare entry is cleared with the table
    ASSERT_TRUE(ReadLineFileBytes(FileOfLines(lines), *table));
    EXPECT_EQ(CodesOf(table->Entries[0]), (Codes{0x00, 0x00}));
    EXPECT_EQ(CodesOf(table->Entries[199]), (Codes{0x00, 0xC7}));
    EXPECT_EQ(table->Entries[200].count, 0);
    EXPECT_EQ(table->Entries[201].count, 0);
    EXPECT_EQ(table->Entries[201].codes[0], 0);
}

TEST(ReadLineFileBytes, LongLines) {
    const struct {
        const char* name;
        size_t length;  // characters of the first line, all '4'
        Codes first;
        Codes second;   // what the rest and the next line give
    } cases[] = {
        // The CR is the 512th character: the LF starts the next line.
        {"511 characters are taken", 511, Codes(255, 0x44), {0x04}},
        {"510 with CR LF fill 512 exactly", 510, Codes(255, 0x44), {0x41}},
        {"512 are not: the line break follows as an empty line", 512, {}, {}},
        {"longer: 512 unusable, the rest is the next line", 520, {}, Codes(4, 0x44)},
    };
    for (const auto& c : cases) {
        auto table = std::make_unique<PresetTable>();
        ASSERT_TRUE(ReadLineFileBytes(FileOfLines({std::u16string(c.length, u'4'), u"41"}), *table)) << c.name;
        EXPECT_EQ(CodesOf(table->Entries[0]), c.first) << c.name;
        EXPECT_EQ(CodesOf(table->Entries[1]), c.second) << c.name;
    }
    // 300 quoted characters give 256 codes at most.
    auto table = std::make_unique<PresetTable>();
    ASSERT_TRUE(ReadLineFileBytes(FileOfLines({u"'" + std::u16string(300, u'x') + u"'"}), *table));
    EXPECT_EQ(table->Entries[0].count, 256);
}

TEST(ReadLineFileBytes, WithoutTheMarkNothingChanges) {
    const std::string cases[] = {"", "\xFF", std::string("4\0" "1\0", 4), "\xFE\xFF\0" "4", "\xEF\xBB\xBF" "41"};
    for (const std::string& bytes : cases) {
        auto table = std::make_unique<PresetTable>();
        Set(table->Entries[0], {0x41});
        EXPECT_FALSE(ReadLineFileBytes(bytes, *table));
        EXPECT_EQ(table->Entries[0].count, 1);
    }
    // An odd byte at the end counts as the end of the file.
    auto table = std::make_unique<PresetTable>();
    ASSERT_TRUE(ReadLineFileBytes(std::string("\xFF\xFE" "4\0" "1\0" "4", 7), *table));
    EXPECT_EQ(CodesOf(table->Entries[0]), Codes{0x41});
}

TEST(ReadLineFileBytes, SavedLinesReadBack) {
    auto history = std::make_unique<SendHistory>();
    const Codes lines[] = {{0x00, 0x0D, 0x0A, 0x22, 0x27, 0xFF}, {0x3042, 0x41, 0xFFFF}, Codes(255, 0x7F),
                           Codes(200, 0x3000)};
    for (size_t k = 0; k < std::size(lines); ++k) Set(history->Entries[k], lines[k]);
    auto table = std::make_unique<PresetTable>();
    ASSERT_TRUE(ReadLineFileBytes(LineFileBytes(history->Lines()), *table));
    for (size_t k = 0; k < std::size(lines); ++k) EXPECT_EQ(CodesOf(table->Entries[k]), lines[k]) << k;
}

TEST(ReadLineFileBytes, GarbageNeverOverruns) {
    std::string bytes = "\xFF\xFE";
    uint32_t x = 7;
    for (int i = 0; i < 600000; ++i) {
        x = x * 1103515245u + 12345u;
        bytes.push_back(static_cast<char>((x >> 16) % 7 == 0 ? '\r' : (x >> 16) % 7 == 1 ? '\n' : x >> 24));
    }
    auto table = std::make_unique<PresetTable>();
    ASSERT_TRUE(ReadLineFileBytes(bytes, *table));
    for (const LineEntry& e : table->Entries) {
        EXPECT_GE(e.count, 0);
        EXPECT_LE(e.count, kLineCodes);
    }
}

class LineFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedTexts = g_Texts;
        CopyTextInto(g_Texts.Texts[23][g_Settings.Language], u"Not a line file");
        CopyTextInto(g_Texts.Texts[34][g_Settings.Language], u"Cannot open");
    }
    void TearDown() override { g_Texts = savedTexts; }

    std::vector<std::u16string> Captions() {
        std::vector<std::u16string> captions;
        for (const auto& b : boxes.Boxes()) captions.push_back(b.caption);
        boxes.Clear();
        return captions;
    }

    TextTable savedTexts;
    ProgramFolder program;
    RecordingMessageBox boxes;
};

TEST_F(LineFileTest, SavingAddsTheExtensionInTheProgramFolder) {
    auto history = std::make_unique<SendHistory>();
    Set(history->Entries[0], {0x41});
    ASSERT_TRUE(SaveLineFile(nullptr, u"saved.log", *history));
    EXPECT_EQ(program.folder.ReadBytes(u"saved.txt"), std::string("\xFF\xFE" "4\0" "1\0" "\r\0\n\0", 10));
    EXPECT_FALSE(FileExists(program.folder.File(u"saved.log")));

    auto presets = std::make_unique<PresetEditTable>();
    Set(presets->Entries[0], {0x42});
    Set(presets->Entries[1], {0x43});
    Set(presets->Entries[3], {0x44});  // after an empty entry: not written
    ASSERT_TRUE(SaveLineFile(nullptr, program.folder.File(u"presets.TXT"), *presets));
    EXPECT_EQ(program.folder.ReadBytes(u"presets.TXT").size(), 2u + 2 * 8);
    EXPECT_TRUE(Captions().empty());
}

TEST_F(LineFileTest, SavingWhereNoFileCanBeMade) {
    auto history = std::make_unique<SendHistory>();
    EXPECT_FALSE(SaveLineFile(nullptr, program.folder.File(u"missing\\x.txt"), *history));
    auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, u"CreateFile");
    EXPECT_EQ(shown[0].text, u"Cannot open");
    EXPECT_EQ(shown[0].style, kMbOk);
}

TEST_F(LineFileTest, LoadingThePresetFile) {
    program.folder.WriteBytes(u"mdata.txt", FileOfLines({u"\"AT\"0D", u"", u"FF"}));
    auto table = std::make_unique<PresetTable>();
    ASSERT_TRUE(LoadPresetFile(nullptr, kPresetFileName, true, *table));
    EXPECT_EQ(CodesOf(table->Entries[0]), (Codes{0x41, 0x54, 0x0D}));
    EXPECT_EQ(table->Entries[1].count, 0);
    EXPECT_EQ(CodesOf(table->Entries[2]), Codes{0xFF});
    EXPECT_TRUE(Captions().empty());

    program.folder.WriteBytes(u"other.txt", FileOfLines({u"42"}));
    ASSERT_TRUE(LoadPresetFile(nullptr, program.folder.File(u"other.txt"), false, *table));
    EXPECT_EQ(CodesOf(table->Entries[0]), Codes{0x42});
    EXPECT_EQ(table->Entries[2].count, 0);

    auto edit = std::make_unique<PresetEditTable>();
    ASSERT_TRUE(LoadPresetEditFile(nullptr, program.folder.File(u"mdata.txt"), *edit));
    EXPECT_EQ(CodesOf(edit->Entries[2]), Codes{0xFF});
}

TEST_F(LineFileTest, AMissingPresetFileIsCreatedEmptyAndReported) {
    auto table = std::make_unique<PresetTable>();
    Set(table->Entries[0], {0x41});
    EXPECT_FALSE(LoadPresetFile(nullptr, kPresetFileName, true, *table));
    EXPECT_TRUE(FileExists(program.folder.File(u"mdata.txt")));
    EXPECT_EQ(program.folder.ReadBytes(u"mdata.txt"), "");
    EXPECT_EQ(Captions(), std::vector<std::u16string>{u"FileError"});
    EXPECT_EQ(table->Entries[0].count, 1);
}

TEST_F(LineFileTest, FilesThatCannotBeReadLeaveTheTableAlone) {
    program.folder.WriteBytes(u"ansi.txt", "41\r\n42\r\n");
    const struct {
        std::u16string path;
        std::u16string caption;
    } cases[] = {
        {program.folder.File(u"ansi.txt"), u"FileError"},
        {program.folder.File(u"no folder\\x.txt"), u"CreateFile"},
    };
    for (const auto& c : cases) {
        auto table = std::make_unique<PresetEditTable>();
        Set(table->Entries[0], {0x41});
        EXPECT_FALSE(LoadPresetEditFile(nullptr, c.path, *table));
        EXPECT_EQ(Captions(), std::vector<std::u16string>{c.caption});
        EXPECT_EQ(table->Entries[0].count, 1);
    }
}

TEST_F(LineFileTest, AHugeFileIsReadOnlyAsFarAsNeeded) {
    std::vector<std::u16string> lines(300, u"'" + std::u16string(400, u'x') + u"'");
    program.folder.WriteBytes(u"huge.txt", FileOfLines(lines) + std::string(4 << 20, 'x'));
    auto table = std::make_unique<PresetTable>();
    ASSERT_TRUE(LoadPresetFile(nullptr, u"huge.txt", true, *table));
    EXPECT_EQ(table->Entries[199].count, 256);
}

}  // namespace
