#include <gtest/gtest.h>

#include <algorithm>

#include "nettools/batch_files.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "support/program_folder.h"

namespace {

const std::u16string_view kNameRule = u" Names may not hold \" % ^ & | < > \\ / : * ? or control characters.";

AddIpForm Form(std::u16string name, bool automatic, std::vector<std::u16string> fields = {}) {
    AddIpForm form;
    form.adapterName = std::move(name);
    form.automatic = automatic;
    for (size_t i = 0; i < fields.size() && i < kOctetFieldCount; ++i) form.octetFields[i] = fields[i];
    return form;
}

const std::vector<std::u16string> kAddress20 = {u"192", u"168", u"1", u"20", u"255", u"255", u"255", u"0"};

std::vector<std::u16string> Sorted(std::vector<std::u16string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

class BatchFiles : public ::testing::Test {
protected:
    std::vector<std::u16string> FilesInFolder() {
        std::vector<std::u16string> names;
        ListFileNames(BatchFolderPath(), names);
        return Sorted(names);
    }

    ProgramFolder program;
    RecordingMessageBox boxes;
};

TEST_F(BatchFiles, WritesOneNetshLineInAnsiWithCrLfAndNoBom) {
    const struct {
        AddIpForm form;
        std::u16string_view file;
        std::string_view bytes;
    } cases[] = {
        {Form(u"Ethernet", true), u"Ethernet_auto.bat", "netsh interface ip set address \"Ethernet\" dhcp\r\n"},
        {Form(u"Ethernet", false, kAddress20), u"Ethernet_192_168_1_20.bat",
         "netsh interface ip set address \"Ethernet\" static 192.168.1.20 255.255.255.0\r\n"},
        // Octets are read from their leading digits, without a range check.
        {Form(u"LAN", false, {u"010", u"3x", u"abc", u"999", u"255", u"255", u"0", u"0"}), u"LAN_10_3_0_999.bat",
         "netsh interface ip set address \"LAN\" static 10.3.0.999 255.255.0.0\r\n"},
        // The fields are ignored with "Auto" ticked, even when empty.
        {Form(u"LAN", true, {u"", u"", u"", u""}), u"LAN_auto.bat", "netsh interface ip set address \"LAN\" dhcp\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(WriteBatchFile(nullptr, c.form));
        EXPECT_EQ(program.folder.ReadBytes(u"ipaddress/" + std::u16string(c.file)), c.bytes);
    }
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(BatchFiles, ASecondFileForTheSameAdapterAndAddressReplacesTheFirst) {
    AddIpForm form = Form(u"Ethernet", false, kAddress20);
    ASSERT_TRUE(WriteBatchFile(nullptr, form));
    form.octetFields[7] = u"128";  // another mask, the same name
    ASSERT_TRUE(WriteBatchFile(nullptr, form));
    EXPECT_EQ(FilesInFolder(), (std::vector<std::u16string>{u"Ethernet_192_168_1_20.bat"}));
    std::string written;
    ReadFileBytes(BatchFilePath(u"Ethernet_192_168_1_20.bat"), written, 1000);
    EXPECT_EQ(written, "netsh interface ip set address \"Ethernet\" static 192.168.1.20 255.255.255.128\r\n");
}

TEST_F(BatchFiles, MissingInputWritesNothing) {
    const struct {
        AddIpForm form;
        std::u16string_view text;
        std::u16string_view caption;
        uint32_t style;
    } cases[] = {
        {Form(u"", true), u"Please select an item.", u"listbox", kMbOk | kMbIconWarning},
        {Form(u"Ethernet", false, {u"192", u"168", u"", u"20", u"255", u"255", u"255", u"0"}),
         u"Please enter all addresses.", u"input", kMbOk},
        {Form(u"Ethernet", false, {u"192", u"168", u"1", u"20", u"255", u"255", u"255", u""}),
         u"Please enter all addresses.", u"input", kMbOk},
    };
    for (const auto& c : cases) {
        boxes.Clear();
        EXPECT_FALSE(WriteBatchFile(nullptr, c.form));
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, c.text);
        EXPECT_EQ(boxes.Boxes()[0].caption, c.caption);
        EXPECT_EQ(boxes.Boxes()[0].style, c.style);
        EXPECT_FALSE(FileExists(program.folder.File(u"ipaddress")));
        EXPECT_TRUE(FilesInFolder().empty());
    }
}

TEST_F(BatchFiles, FailuresToCreateAndToFinishAreToldApart) {
    const struct {
        bool folderInTheWay;  // else a file
        std::u16string_view inTheWay;
        std::u16string_view text;
        std::u16string_view caption;
        uint32_t style;
    } cases[] = {
        {false, u"ipaddress", u"Unable to open the file.", u"file error", kMbOk | kMbIconWarning},
        {true, u"ipaddress\\Ethernet_auto.bat", u"Unable to close the file.", u"file error", kMbOk},
    };
    for (const auto& c : cases) {
        ProgramFolder fresh;
        RecordingMessageBox shown;
        if (c.folderInTheWay) {
            ASSERT_TRUE(CreateDirectoryAt(BatchFolderPath()));
            ASSERT_TRUE(CreateDirectoryAt(fresh.folder.File(c.inTheWay)));
        } else {
            fresh.folder.WriteBytes(c.inTheWay, "x");
        }
        EXPECT_FALSE(WriteBatchFile(nullptr, Form(u"Ethernet", true)));
        ASSERT_EQ(shown.Count(), 1u);
        EXPECT_EQ(shown.Boxes()[0].text, c.text);
        EXPECT_EQ(shown.Boxes()[0].caption, c.caption);
        EXPECT_EQ(shown.Boxes()[0].style, c.style);
    }
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
    for (const auto& c : cases) {
        for (bool automatic : {true, false}) {
            boxes.Clear();
            EXPECT_FALSE(WriteBatchFile(nullptr, Form(c.name, automatic, kAddress20)));
            ASSERT_EQ(boxes.Count(), 1u);
            std::u16string expected =
                c.shown ? u"The adapter name cannot be written into a batch file because it holds the character '" +
                              std::u16string(1, c.shown) + u"'."
                        : std::u16string(u"The adapter name cannot be written into a batch file because it holds "
                                         u"a control character.");
            EXPECT_EQ(boxes.Boxes()[0].text, expected + std::u16string(kNameRule));
            EXPECT_EQ(boxes.Boxes()[0].caption, u"adapter name");
            EXPECT_EQ(boxes.Boxes()[0].style, static_cast<uint32_t>(kMbOk | kMbIconWarning));
        }
    }
    EXPECT_FALSE(FileExists(program.folder.File(u"ipaddress")));
    EXPECT_FALSE(FileExists(program.folder.File(u"evil_auto.bat")));
}

TEST_F(BatchFiles, LookAlikeCharactersNeverBecomeQuotesInTheLine) {
    // Fullwidth and typographic quotes, percent and ampersand: a best-fit
    // conversion would turn them into the plain characters.
    const std::u16string names[] = {u"Eth\uFF02\uFF06calc", u"Eth\u201C", u"Eth\uFF05PATH\uFF05", u"Eth\uFF06calc"};
    for (const std::u16string& name : names) {
        boxes.Clear();
        if (!WriteBatchFile(nullptr, Form(name, true))) {
            ASSERT_EQ(boxes.Count(), 1u);
            EXPECT_EQ(boxes.Boxes()[0].text,
                      u"The adapter name cannot be written into a batch file because it holds characters that the "
                      u"system's ANSI code page cannot represent.");
            continue;
        }
        std::string line;
        ReadFileBytes(BatchFilePath(name + u"_auto.bat"), line, 1000);
        EXPECT_EQ(std::count(line.begin(), line.end(), '"'), 2);
        EXPECT_EQ(line.find_first_of("%&"), std::string::npos);
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
        boxes.Clear();
        std::u16string name(c.nameLength, u'n');
        EXPECT_EQ(WriteBatchFile(nullptr, Form(name, c.automatic, kAddress20)), c.written) << c.nameLength;
        if (c.written) continue;
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text,
                  u"The adapter name is too long for a batch file: its netsh line would be longer than 255 bytes.");
    }
    EXPECT_EQ(FilesInFolder().size(), 2u);
}

TEST_F(BatchFiles, ListBatchFilesShowsOnlyBatchFiles) {
    EXPECT_TRUE(ListBatchFiles().empty());  // no folder yet
    ASSERT_TRUE(CreateDirectoryAt(BatchFolderPath()));
    for (std::u16string_view name : {u"a_auto.bat", u"B_1_2_3_4.BAT", u"notes.txt", u"x.bat.new", u"bat", u"日本_auto.bat"})
        program.folder.WriteBytes(u"ipaddress/" + std::u16string(name), "x");
    ASSERT_TRUE(CreateDirectoryAt(BatchFilePath(u"folder.bat")));
    EXPECT_EQ(Sorted(ListBatchFiles()), Sorted({u"a_auto.bat", u"B_1_2_3_4.BAT", u"日本_auto.bat"}));
}

TEST_F(BatchFiles, DeleteRemovesTheSelectedFileOnly) {
    ASSERT_TRUE(WriteBatchFile(nullptr, Form(u"Ethernet", true)));
    ASSERT_TRUE(WriteBatchFile(nullptr, Form(u"Wi-Fi", true)));
    DeleteBatchFile(nullptr, u"Ethernet_auto.bat");
    EXPECT_EQ(ListBatchFiles(), (std::vector<std::u16string>{u"Wi-Fi_auto.bat"}));
    EXPECT_EQ(boxes.Count(), 0u);

    DeleteBatchFile(nullptr, u"");
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, u"Please select an item.");
    EXPECT_EQ(boxes.Boxes()[0].caption, u"listbox");
    EXPECT_EQ(boxes.Boxes()[0].style, static_cast<uint32_t>(kMbOk));
    EXPECT_EQ(ListBatchFiles().size(), 1u);
}

TEST(ReadBackBatch, FindsTheKindAndTheNumbersAfterStatic) {
    const struct {
        std::string_view bytes;
        BatchReadBack::Kind kind;
        std::vector<int32_t> numbers;
    } cases[] = {
        {"netsh interface ip set address \"Ethernet\" static 192.168.1.20 255.255.255.0\r\n", BatchReadBack::Fixed,
         {192, 168, 1, 20, 255, 255, 255, 0}},
        {"netsh interface ip set address \"Ethernet\" dhcp\r\n", BatchReadBack::Automatic, {}},
        // Words inside the adapter name do not count.
        {"netsh interface ip set address \"static 1.2.3.4\" dhcp\r\n", BatchReadBack::Automatic, {}},
        {"netsh interface ip set address \"dhcp\" static 10.0.0.1 255.0.0.0\r\n", BatchReadBack::Fixed,
         {10, 0, 0, 1, 255, 0, 0, 0}},
        {"netsh interface ip set address \"LAN\" static 10.0\r\n", BatchReadBack::Fixed, {10, 0}},
        {"netsh interface ip set address \"LAN\" STATIC 1.2.3.4 5.6.7.8 9\r\n", BatchReadBack::Fixed,
         {1, 2, 3, 4, 5, 6, 7, 8}},
        {"netsh interface ip set address name=LAN source=static 1.2.3.4", BatchReadBack::Fixed, {1, 2, 3, 4}},
        {"netsh interface ip set address \"LAN\" staticx 1.2.3.4\r\n", BatchReadBack::Unknown, {}},
        {"netsh interface ip set address \"unterminated static 1.2.3.4\r\n", BatchReadBack::Unknown, {}},
    };
    for (const auto& c : cases) {
        BatchReadBack back = ReadBackBatch(c.bytes);
        EXPECT_EQ(back.kind, c.kind) << c.bytes;
        EXPECT_EQ(std::vector<int32_t>(back.numbers, back.numbers + back.count), c.numbers) << c.bytes;
    }
}

}  // namespace
