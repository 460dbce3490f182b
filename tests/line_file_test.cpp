#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/text.h"
#include "sending/line_file.h"
#include "sending/line_file_format.h"
#include "sending/line_notation.h"
#include "support/program_folder.h"
#include "support/recording_message_box.h"

namespace {

using Codes = std::vector<char16_t>;

Codes CodesOf(const LineEntry& e) { return Codes(e.codes, e.codes + e.count); }
void Set(LineEntry& entry, const Codes& codes) { SetLineEntry(entry, codes.data(), int32_t(codes.size())); }

Codes Parse(std::u16string_view line, int32_t capacity = 256) {
    Codes codes(size_t(capacity) + 1, u'\uBEEF');
    codes.resize(size_t(ParseLineNotation(line, codes.data(), capacity)));
    return codes;
}

std::string FileOfLines(const std::vector<std::u16string>& lines) {
    std::u16string text;
    for (const auto& l : lines) text += l + u"\r\n";
    return Utf16LeFile(text);
}

TEST(ParseLineNotation, Rules) {
    const struct {
        std::u16string_view line;
        Codes codes;
    } cases[] = {
        {u"\"AT\"0D0A", {0x41, 0x54, 0x0D, 0x0A}},
        {u"48 65 6c", {0x48, 0x06, 0x05, 0x6C}},             // spaces are pair characters
        {u"4\"AB\"1", {0x41, 0x42, 0x41}},                    // the 4 waits across the quotes
        {u"\"AB\"'X\"Y'", {0x41, 0x42, 0x58, 0x59}},          // a double quote in single quotes is dropped
        {u"4142434", {0x41, 0x42, 0x43}},                     // an open pair at the end is dropped
        {u"-1-F+F", {0xFFFF, 0xFFF1, 0x0F}},                  // a sign, 16 bits kept
        {u"zzG11G", {0x00, 0x00, 0x01}},
        {u"'\u3042\uFFFF'41\"b", {0x3042, 0xFFFF, 0x41, u'b'}},  // an open quote runs to the end
    };
    for (const auto& c : cases) EXPECT_EQ(Parse(c.line), c.codes) << Utf16ToUtf8(c.line);
    // At most the capacity is stored.
    EXPECT_EQ(Parse(std::u16string(600, u'7')).size(), 256u);
    EXPECT_EQ(Parse(u"'abcdef'", 3), (Codes{u'a', u'b', u'c'}));
}

TEST(ReadLineFileBytes, LinesBecomeEntries) {
    std::vector<std::u16string> many;
    for (int i = 0; i < 250; ++i) many.push_back(FormatString(u"%04X", {i}));
    // A long first line, then lines of "4142" up to the read limit, which
    // falls after the "41" of line 199.
    std::vector<std::u16string> long4142(200, u"4142");
    long4142[0] = std::u16string((kLineFileReadLimit - 2) / 2 - 2 - 198 * 6 - 2, u'4');
    std::string cutAtLimit = FileOfLines(long4142).substr(0, kLineFileReadLimit);
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::pair<int, Codes>> entries;
    } cases[] = {
        {"an empty 5th line keeps its place", FileOfLines({u"01", u"02", u"03", u"04", u"", u"06"}),
         {{3, {0x04}}, {4, {}}, {5, {0x06}}}},
        {"250 lines: the first 200", FileOfLines(many), {{199, {0x00, 0xC7}}, {200, {}}}},
        {"a lone LF is a pair character; two breaks are stripped", Utf16LeFile(u"4\n41\r\n42\n\r\n43"),
         {{0, {0x04, 0x41}}, {1, {0x42}}, {2, {0x43}}}},
        {"640 characters, the longest saved line, are taken", FileOfLines({std::u16string(640, u'4'), u"41"}),
         {{0, Codes(256, 0x44)}, {1, {0x41}}}},
        {"a longer line is refused whole; the next keeps its place and its digits",
         FileOfLines({std::u16string(641, u'4'), u"41", std::u16string(5000, u'4'), u"42"}),
         {{0, {}}, {1, {0x41}}, {2, {}}, {3, {0x42}}}},
        {"at the read limit the last line may be cut: it is refused", cutAtLimit, {{198, {0x41, 0x42}}, {199, {}}}},
        {"an odd last byte ends the file", std::string("\xFF\xFE" "4\0" "1\0" "4", 7), {{0, {0x41}}}},
    };
    for (const auto& c : cases) {
        auto table = std::make_unique<PresetTable>();
        Set(table->Entries[201], {0x99});  // the spare entries are cleared too
        ASSERT_TRUE(ReadLineFileBytes(c.bytes, *table)) << c.name;
        for (const auto& [k, codes] : c.entries) EXPECT_EQ(CodesOf(table->Entries[k]), codes) << c.name << " " << k;
        EXPECT_EQ(table->Entries[201].count, 0);
    }
}

TEST(ReadLineFileBytes, EverySavedLineReadsBack) {
    // The longest lines the writer makes: codes above 255 are quoted, and
    // alternating them with hex codes costs the most characters.
    Codes descending(256), alternating(256), alternatingWideFirst(256), wide(256);
    for (int i = 0; i < 256; ++i) {
        descending[i] = static_cast<char16_t>(255 - i);
        alternating[i] = static_cast<char16_t>(i % 2 ? 0x3042 : 0x41);
        alternatingWideFirst[i] = static_cast<char16_t>(i % 2 ? 0x22 : 0xFF00 + i);
        wide[i] = static_cast<char16_t>(0x100 + i);
    }
    for (const Codes& line : {descending, alternating, alternatingWideFirst, wide}) {
        auto history = std::make_unique<SendHistory>();
        Set(history->Entries[0], line);
        Set(history->Entries[1], {0x0D, 0x0A});  // the next line keeps its place
        auto table = std::make_unique<PresetTable>();
        ASSERT_TRUE(ReadLineFileBytes(LineFileBytes(history->Lines()), *table));
        EXPECT_EQ(CodesOf(table->Entries[0]), line) << int(line[0]);
        EXPECT_EQ(CodesOf(table->Entries[1]), (Codes{0x0D, 0x0A})) << int(line[0]);
        EXPECT_EQ(table->Entries[2].count, 0);
    }
    auto history = std::make_unique<SendHistory>();
    Set(history->Entries[1], {0x41});
    EXPECT_EQ(LineFileBytes(history->Lines()), std::string("\xFF\xFE", 2));  // an empty entry ends the file
}

// A line file is saved as .txt: any other extension of up to three
// characters is replaced, a longer one is kept in the name.
TEST(LineFile, SavedUnderATxtName) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"a.TXT", u"a.TXT"}, {u"a.dat", u"a.txt"}, {u"a.b", u"a.txt"},
        {u"abc", u"abc.txt"}, {u"a.long", u"a.long.txt"}, {u"v1.2\\lines", u"v1.2\\lines.txt"},
    };
    for (const auto& [path, name] : cases) EXPECT_EQ(LineFileName(path), name) << Utf16ToUtf8(path);
}

// Saving and loading are checked end to end; here the failures, which leave
// the table as it was, and an oversized file, read from its start.
TEST(LineFile, FailuresAreToldApartAndLeaveTheTable) {
    ProgramFolder program;
    RecordingMessageBox boxes;
    auto presets = std::make_unique<PresetEditTable>();
    Set(presets->Entries[0], {0x41});
    EXPECT_FALSE(SaveLineFile(nullptr, program.folder.File(u"missing\\x.txt"), *presets));
    // Created, but it cannot take the place of a folder of that name.
    ASSERT_TRUE(CreateDirectoryAt(program.folder.File(u"taken.txt")));
    EXPECT_FALSE(SaveLineFile(nullptr, program.folder.File(u"taken"), *presets));
    program.folder.WriteBytes(u"ansi.txt", "41\r\n");
    EXPECT_FALSE(LoadPresetEditFile(nullptr, program.folder.File(u"ansi.txt"), *presets));
    EXPECT_FALSE(LoadPresetEditFile(nullptr, program.folder.File(u"no folder\\x.txt"), *presets));
    EXPECT_EQ(CodesOf(presets->Entries[0]), Codes{0x41});
    std::vector<std::u16string> captions;
    for (const auto& b : boxes.Boxes()) captions.push_back(b.caption);
    EXPECT_EQ(captions,
              (std::vector<std::u16string>{u"CreateFile", u"CloseHandle-errer", u"FileError", u"CreateFile"}));
    EXPECT_EQ(boxes.Boxes()[1].text, program.folder.File(u"taken.txt"));

    auto table = std::make_unique<PresetTable>();
    program.folder.WriteBytes(u"mdata.txt", FileOfLines({u"\"AT\"0D"}) + std::string(1 << 20, 'x'));
    ASSERT_TRUE(LoadPresetFile(nullptr, kPresetFileName, true, *table));
    EXPECT_EQ(CodesOf(table->Entries[0]), (Codes{0x41, 0x54, 0x0D}));
    EXPECT_TRUE(LoadPresetFile(nullptr, program.folder.File(u"mdata.txt"), false, *table));  // a full path

    // A relative name is in the program folder, wherever the working folder went.
    ASSERT_TRUE(CreateDirectoryAt(program.folder.File(u"elsewhere")));
    ASSERT_TRUE(SetWorkingDirectory(program.folder.File(u"elsewhere")));
    EXPECT_TRUE(LoadPresetEditFile(nullptr, u"mdata.txt", *presets));
    ASSERT_TRUE(SetWorkingDirectory(program.folder.File(u"elsewhere")));
    EXPECT_TRUE(SaveLineFile(nullptr, u"saved", *presets));
    EXPECT_TRUE(FileExists(program.folder.File(u"saved.txt")));
}

}  // namespace
