#include <gtest/gtest.h>

#include <string>

#include "common/text_table.h"
#include "nettools/connect_log.h"
#include "platform/files.h"
#include "platform/text.h"
#include "support/program_folder.h"
#include "support/program_texts.h"
#include "support/recording_message_box.h"

namespace {

using Entries = std::vector<std::u16string>;

// The end-to-end run reads an ARP listing with leading blanks, repeated and
// prefixed addresses; here the rules such a listing seldom shows.
TEST(ParseConnectLog, EachLineRule) {
    const struct {
        const char* name;
        std::string log;
        Entries expected;
    } cases[] = {
        {"two dots in a row give an empty number", "192..168.0.1\r\n", {u"IP=192.0.168.0"}},
        {"other separators count like dots", "1-2/3 4\r\n", {u"IP=1.2.3.4"}},
        {"the zero bytes after a short line end numbers too", "192.168\r\n", {u"IP=192.168.0.0"}},
        {"fewer than four numbers", "abcdefghijklm 1.2\r\nabc\r\n\r\n", {}},
        {"the last octet ends on byte 18: not stored", "   192.168.100.200\r\n", {}},
        {"the last octet ends on byte 17: stored", "  192.168.100.200\r\n", {u"IP=192.168.100.200"}},
        {"a carriage return alone does not end a line", "1.2.3.4\r5.6.7.8\r\n", {u"IP=1.2.3.4"}},
        {"an empty line is a line of its own", "\r\n  192.168.100.200\r\n", {u"IP=192.168.100.200"}},
        {"numbers beyond 32 bits wrap", "4294967297.1.2.3\r\n", {u"IP=1.1.2.3"}},
        {"numbers after the sixteenth are passed over", "1" + std::string(17, '.'), {u"IP=1.0.0.0"}},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseConnectLog(c.log), c.expected) << c.name;
}

TEST(ParseConnectLog, OnlyTheFirst128LinesOf1022BytesAreRead) {
    std::string log;
    for (int i = 0; i < 127; ++i) log += "junk\r\n";
    log += "10.0.0.128\r\n10.0.0.129\r\n";
    EXPECT_EQ(ParseConnectLog(log), (Entries{u"IP=10.0.0.128"}));
    // A longer line goes on as the next line.
    EXPECT_EQ(ParseConnectLog(std::string(1022, 'x') + "10.1.2.3\r\n"), (Entries{u"IP=10.1.2.3"}));
    EXPECT_EQ(ParseConnectLog(std::string(1021, 'x') + "10.1.2.3\r\n"), (Entries{u"IP=0.1.2.3"}));
    // The bytes end the last line, whatever follows them in memory.
    EXPECT_EQ(ParseConnectLog(std::string_view("1.2.3.45", 7)), (Entries{u"IP=1.2.3.4"}));
    EXPECT_EQ(ParseConnectLog(std::string_view("1.2.3.4\r\n", 8)), (Entries{u"IP=1.2.3.4"}));
}

class ConnectLogFile : public ::testing::Test {
protected:
    ProgramFolder program;
    RecordingMessageBox boxes;
};

// The log beside the program is read from its start (an oversized one too);
// a missing log is created empty; one that cannot be opened says so.
TEST_F(ConnectLogFile, ReadsLogTxtInTheProgramFolder) {
    program.folder.WriteBytes(u"log.txt", "  192.168.0.1\r\n192.168.0.20\r\n" + std::string(4u << 20, 'z'));
    Entries entries;
    EXPECT_TRUE(ReadConnectLog(nullptr, entries));
    EXPECT_EQ(entries, (Entries{u"IP=192.168.0.1", u"IP=192.168.0.20"}));
    ASSERT_TRUE(DeleteFileAt(program.folder.File(u"log.txt")));
    EXPECT_TRUE(ReadConnectLog(nullptr, entries));
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(program.folder.ReadBytes(u"log.txt"), "");
    EXPECT_EQ(boxes.Count(), 0u);

    ProgramTexts texts(kEnglish, {{kTextCannotOpenFile, u"Cannot open or create the file."}});
    ASSERT_TRUE(DeleteFileAt(program.folder.File(u"log.txt")));
    ASSERT_TRUE(CreateDirectoryAt(program.folder.File(u"log.txt")));  // a folder, not a file
    entries = {u"stale"};
    EXPECT_FALSE(ReadConnectLog(nullptr, entries));
    EXPECT_TRUE(entries.empty());
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, u"Cannot open or create the file.");
    EXPECT_EQ(boxes.Boxes()[0].caption, u"File Error");
}

}  // namespace
