#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "nettools/batch_files.h"
#include "platform/files.h"
#include "support/program_folder.h"
#include "support/recording_message_box.h"

namespace {

AddIpForm Form(std::u16string name, bool automatic, std::vector<std::u16string> fields = {}) {
    AddIpForm form;
    form.adapterName = std::move(name);
    form.automatic = automatic;
    for (size_t i = 0; i < fields.size() && i < kOctetFieldCount; ++i) form.octetFields[i] = fields[i];
    return form;
}

const std::vector<std::u16string> kAddress20 = {u"192", u"168", u"1", u"20", u"255", u"255", u"255", u"0"};

using Box = std::tuple<std::u16string, std::u16string, uint32_t>;

class BatchFiles : public ::testing::Test {
protected:
    // The one box shown since the last call.
    Box TheBox() {
        auto shown = boxes.Boxes();
        boxes.Clear();
        if (shown.size() != 1) return {u"boxes: " + std::u16string(1, char16_t(u'0' + shown.size())), u"", 0};
        return {shown[0].text, shown[0].caption, shown[0].style};
    }

    ProgramFolder program;
    RecordingMessageBox boxes;
};

TEST_F(BatchFiles, WritesOneNetshLineInAnsiWithCrLfAndNoBom) {
    // Octets are read from their leading digits, without a range check.
    EXPECT_TRUE(
        WriteBatchFile(nullptr, Form(u"LAN", false, {u"010", u"3x", u"abc", u"999", u"255", u"255", u"0", u"0"})));
    EXPECT_EQ(program.folder.ReadBytes(u"ipaddress/LAN_10_3_0_999.bat"),
              "netsh interface ip set address \"LAN\" static 10.3.0.999 255.255.0.0\r\n");
    // The fields are ignored with "Auto" ticked, even when empty.
    EXPECT_TRUE(WriteBatchFile(nullptr, Form(u"LAN", true, {u"", u"", u"", u""})));
    EXPECT_EQ(program.folder.ReadBytes(u"ipaddress/LAN_auto.bat"), "netsh interface ip set address \"LAN\" dhcp\r\n");
    EXPECT_EQ(boxes.Count(), 0u);
}

// Missing input is refused end to end; here the two ways the write can fail.
TEST_F(BatchFiles, FailuresToCreateAndToFinishAreToldApart) {
    program.folder.WriteBytes(u"ipaddress", "x");  // a file where the folder goes
    EXPECT_FALSE(WriteBatchFile(nullptr, Form(u"Ethernet", true)));
    EXPECT_EQ(TheBox(), Box(u"Unable to open the file.", u"file error", kMbOk | kMbIconWarning));
    ProgramFolder fresh;
    ASSERT_TRUE(CreateDirectoryAt(BatchFolderPath()));
    ASSERT_TRUE(CreateDirectoryAt(BatchFilePath(u"Ethernet_auto.bat")));  // created, but it cannot be put in place
    EXPECT_FALSE(WriteBatchFile(nullptr, Form(u"Ethernet", true)));
    EXPECT_EQ(TheBox(), Box(u"Unable to close the file.", u"file error", kMbOk));
}

// A name that could end the quotes, chain or redirect a command, expand a
// variable or leave the folder never reaches the elevated line or the disk.
TEST_F(BatchFiles, NamesThatCouldBreakTheLineOrThePathAreRefused) {
    const struct {
        std::u16string name;
        char16_t shown;  // 0: a control character
    } cases[] = {
        {u"Eth\" & calc & \"", u'"'}, {u"Eth%PATH%", u'%'}, {u"Eth^", u'^'},   {u"Eth|more", u'|'},
        {u"Eth>out", u'>'},           {u"..\\..\\evil", u'\\'}, {u"../evil", u'/'}, {u"C:evil", u':'},
        {u"Eth?", u'?'},              {u"Eth\r\ncalc", 0},   {u"Eth\x1F", 0},  {u"Eth\x7F", 0},
        {u"Eth\u009F", 0},         {u"Eth&calc", u'&'},  {u"Eth<in", u'<'},
    };
    const std::u16string rule = u" Names may not hold \" % ^ & | < > \\ / : * ? or control characters.";
    const std::u16string start = u"The adapter name cannot be written into a batch file because it holds ";
    for (const auto& c : cases) {
        for (bool automatic : {true, false}) {
            EXPECT_FALSE(WriteBatchFile(nullptr, Form(c.name, automatic, kAddress20)));
            std::u16string held =
                c.shown ? u"the character '" + std::u16string(1, c.shown) + u"'." : u"a control character.";
            EXPECT_EQ(TheBox(), Box(start + held + rule, u"adapter name", kMbOk | kMbIconWarning));
        }
    }
    EXPECT_FALSE(FileExists(program.folder.File(u"ipaddress")));
}

TEST_F(BatchFiles, LookAlikeCharactersNeverBecomeQuotesInTheLine) {
    // Fullwidth and typographic forms of " % & < > | \ and the yen sign, which
    // some code pages best-fit to a backslash: never the plain characters.
    const std::u16string names[] = {u"Eth\uFF02\uFF06calc", u"Eth\u201C", u"Eth\uFF05PATH\uFF05", u"Eth\uFF1Cin",
                                    u"Eth\uFF1Eout", u"Eth\uFF5Cmore", u"Eth\uFF3C", u"Eth\u00A5", u"Eth\u2033",
                                    u"Eth\xD800"};
    for (const std::u16string& name : names) {
        if (!WriteBatchFile(nullptr, Form(name, true))) {
            EXPECT_EQ(std::get<0>(TheBox()),
                      u"The adapter name cannot be written into a batch file because it holds characters that the "
                      u"system's ANSI code page cannot represent.");
            continue;
        }
        std::string line;
        ReadFileBytes(BatchFilePath(name + u"_auto.bat"), line, 1000);
        EXPECT_EQ(std::count(line.begin(), line.end(), '"'), 2);
        EXPECT_EQ(line.find_first_of("%&<>|\\"), std::string::npos);
    }
}

TEST_F(BatchFiles, LinesLongerThan255BytesAreRefused) {
    const struct {
        size_t nameLength;
        bool automatic;
        bool written;
    } cases[] = {
        {215, true, true},  {216, true, false},     // 40 bytes around the name
        {186, false, true}, {187, false, false},    // 69 bytes with 192.168.1.20 255.255.255.0
    };
    for (const auto& c : cases) {
        std::u16string name(c.nameLength, u'n');
        EXPECT_EQ(WriteBatchFile(nullptr, Form(name, c.automatic, kAddress20)), c.written) << c.nameLength;
        if (c.written) continue;
        EXPECT_EQ(std::get<0>(TheBox()),
                  u"The adapter name is too long for a batch file: its netsh line would be longer than 255 bytes.");
    }
    EXPECT_EQ(ListBatchFiles().size(), 2u);
}

TEST_F(BatchFiles, TheListShowsOnlyBatchFiles) {
    EXPECT_TRUE(ListBatchFiles().empty());  // no folder yet
    ASSERT_TRUE(CreateDirectoryAt(BatchFolderPath()));
    for (std::u16string_view name :
         {u"a_auto.bat", u"B_1_2_3_4.BAT", u"notes.txt", u"x.bat.new", u".bat", u"日本_auto.bat"})
        program.folder.WriteBytes(u"ipaddress/" + std::u16string(name), "x");
    ASSERT_TRUE(CreateDirectoryAt(BatchFilePath(u"folder.bat")));
    std::vector<std::u16string> listed = ListBatchFiles();
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::u16string>{u"B_1_2_3_4.BAT", u"a_auto.bat", u"日本_auto.bat"}));
    DeleteBatchFile(nullptr, u"gone.bat");
    EXPECT_EQ(TheBox(), Box(u"Unable to delete the file.", u"file error", kMbOk | kMbIconWarning));
}

// The lines this program writes are read back when a file is run; here the
// lines a user may have edited.
TEST(ReadBackBatch, FindsTheKindAndTheNumbersAfterStatic) {
    const struct {
        std::string_view bytes;
        BatchReadBack::Kind kind;
        std::vector<int32_t> numbers;
    } cases[] = {
        // Words inside the adapter name do not count.
        {"netsh interface ip set address \"static 1.2.3.4\" dhcp\r\n", BatchReadBack::Automatic, {}},
        {"netsh interface ip set address \"LAN\" STATIC 1.2.3.4 5.6.7.8 9\r\n", BatchReadBack::Fixed,
         {1, 2, 3, 4, 5, 6, 7, 8}},
        {"netsh interface ip set address name=LAN source=static 1.2.3.4", BatchReadBack::Fixed, {1, 2, 3, 4}},
        {"netsh interface ip set address \"unterminated static 1.2.3.4\r\n", BatchReadBack::Unknown, {}},
    };
    for (const auto& c : cases) {
        BatchReadBack back = ReadBackBatch(c.bytes);
        EXPECT_EQ(back.kind, c.kind) << c.bytes;
        EXPECT_EQ(std::vector<int32_t>(back.numbers, back.numbers + back.count), c.numbers) << c.bytes;
    }
}

}  // namespace
