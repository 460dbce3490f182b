#include <gtest/gtest.h>

#include <string>

#include "common/text_table.h"
#include "nettools/connect_log.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "support/program_folder.h"

namespace {

using Entries = std::vector<std::u16string>;

TEST(ParseConnectLog, EachLineRule) {
    const struct {
        const char* name;
        std::string log;
        Entries expected;
    } cases[] = {
        {"leading blanks and text after the address", "  192.168.0.1 dynamic\r\n", {u"IP=192.168.0.1"}},
        {"a prefix of another address is its own entry", "10.0.0.10\r\n10.0.0.1\r\n10.0.0.10\r\n",
         {u"IP=10.0.0.10", u"IP=10.0.0.1"}},
        {"two dots in a row give an empty number", "192..168.0.1\r\n", {u"IP=192.0.168.0"}},
        {"other separators count like dots", "1-2/3 4\r\n", {u"IP=1.2.3.4"}},
        {"the zero bytes after a short line end numbers too", "192.168\r\n", {u"IP=192.168.0.0"}},
        {"fewer than four numbers", "abcdefghijklm 1.2\r\nabc\r\n\r\n", {}},
        {"the last octet ends on byte 18: not stored", "   192.168.100.200\r\n", {}},
        {"the last octet ends on byte 17: stored", "  192.168.100.200\r\n", {u"IP=192.168.100.200"}},
        {"a last line without CR LF", "1.2.3.4\r\n5.6.7.8", {u"IP=1.2.3.4", u"IP=5.6.7.8"}},
        {"a line feed alone does not end a line", "1.2\n3.4\r\n", {u"IP=1.2.3.4"}},
        {"a carriage return alone does not end a line", "1.2.3.4\r5.6.7.8\r\n", {u"IP=1.2.3.4"}},
        {"zero bytes end numbers", std::string("1\0002\0003\0004", 7), {u"IP=1.2.3.4"}},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseConnectLog(c.log), c.expected) << c.name;
}

TEST(ParseConnectLog, OnlyTheFirst128LinesAreRead) {
    std::string log;
    for (int i = 0; i < 127; ++i) log += "junk\r\n";
    log += "10.0.0.128\r\n10.0.0.129\r\n";
    EXPECT_EQ(ParseConnectLog(log), (Entries{u"IP=10.0.0.128"}));
}

TEST(ParseConnectLog, ALongLineGoesOnAsTheNextLineAfter1022Bytes) {
    const struct {
        size_t filler;
        Entries expected;
    } cases[] = {
        {1022, {u"IP=10.1.2.3"}},  // the address starts the second line
        {1021, {u"IP=0.1.2.3"}},   // its first digit is the long line's last byte
        {2044, {u"IP=10.1.2.3"}},  // the third line
    };
    for (const auto& c : cases) EXPECT_EQ(ParseConnectLog(std::string(c.filler, 'x') + "10.1.2.3\r\n"), c.expected) << c.filler;
}

TEST(ParseConnectLog, GarbageNeverOverrunsAndGivesAtMost128Entries) {
    std::string log;
    for (int i = 0; i < 400; ++i) log += std::to_string(i) + ".0.0." + std::to_string(i % 7) + "\r\n";
    EXPECT_EQ(ParseConnectLog(log).size(), 128u);

    std::string noise;
    uint32_t x = 12345;
    for (int i = 0; i < 300000; ++i) {
        x = x * 1103515245u + 12345u;
        noise.push_back(static_cast<char>(x >> 24));
    }
    Entries entries = ParseConnectLog(noise);
    EXPECT_LE(entries.size(), 128u);
    for (const std::u16string& e : entries) EXPECT_TRUE(e.starts_with(u"IP="));

    // Numbers beyond 32 bits wrap instead of overflowing.
    EXPECT_EQ(ParseConnectLog("99999999999999.1.2.3\r\n").size(), 0u);  // the third ends after byte 18
    EXPECT_EQ(ParseConnectLog("4294967297.1.2.3\r\n"), (Entries{u"IP=1.1.2.3"}));
}

TEST(TakeConnectAddress, ReadsFourColumnsAfterIpEquals) {
    const struct {
        std::u16string_view entry;
        int32_t expected[4];
    } cases[] = {
        {u"IP=192.168.0.1", {192, 168, 0, 1}},
        {u"IP=1.2.3", {1, 2, 3, 0}},          // past the end, each octet ends at once
        {u"IP=1234.5.6.7", {7, 7, 7, 7}},     // four digits: no separator in reach
        {u"IP=", {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        int32_t octets[4] = {7, 7, 7, 7};
        TakeConnectAddress(c.entry, octets);
        EXPECT_EQ(std::vector<int32_t>(octets, octets + 4), std::vector<int32_t>(c.expected, c.expected + 4))
            << std::string(c.entry.begin(), c.entry.end());
    }
}

class ConnectLogFile : public ::testing::Test {
protected:
    ProgramFolder program;
    RecordingMessageBox boxes;
};

// The log beside the program is read from its start (an oversized one too);
// a missing log is created empty.
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
}

TEST_F(ConnectLogFile, ALogThatCannotBeOpenedShowsText13) {
    TextTable saved = g_Texts;
    CopyTextInto(g_Texts.Texts[13][kEnglish], u"Cannot open or create the file.");
    g_Settings.Language = kEnglish;
    ASSERT_TRUE(CreateDirectoryAt(program.folder.File(u"log.txt")));  // a folder, not a file
    Entries entries{u"stale"};
    EXPECT_FALSE(ReadConnectLog(nullptr, entries));
    EXPECT_TRUE(entries.empty());
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, u"Cannot open or create the file.");
    EXPECT_EQ(boxes.Boxes()[0].caption, u"File Error");
    EXPECT_EQ(boxes.Boxes()[0].style, static_cast<uint32_t>(kMbOk));
    g_Texts = saved;
}

TEST_F(ConnectLogFile, TheBatchFileStartsFromTheProgramFolder) {
    const struct {
        bool asAdministrator;
        bool started;
        size_t boxes;
    } cases[] = {{false, true, 0}, {false, false, 0}, {true, true, 0}, {true, false, 1}};
    for (const auto& c : cases) {
        RecordingLauncher launcher;
        launcher.openResult = c.started ? 42 : 2;
        launcher.runAsResult = c.started;
        boxes.Clear();
        StartConnectBatch(nullptr, c.asAdministrator);
        ASSERT_EQ(launcher.launches.size(), 1u);
        EXPECT_EQ(launcher.launches[0].elevated, c.asAdministrator);
        EXPECT_EQ(launcher.launches[0].file, program.folder.File(u"connect_ip.bat"));
        if (!c.asAdministrator) {
            EXPECT_EQ(launcher.launches[0].directory, program.folder.Path());
        }
        // Only a failed elevation is reported; a missing file in the normal way is not.
        EXPECT_EQ(boxes.Count(), c.boxes);
    }
}

}  // namespace
