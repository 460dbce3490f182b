#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/app_settings.h"
#include "common/text_table.h"
#include "macro/macro_check.h"
#include "macro/macro_data.h"
#include "macro/macro_file.h"
#include "macro/macro_runner.h"
#include "platform/files.h"
#include "platform/text.h"
#include "support/program_folder.h"
#include "support/program_texts.h"
#include "support/recording_message_box.h"

namespace {

using enum MacroStepResult;
using Bytes = std::vector<uint8_t>;

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }

struct Sent {
    int32_t client;
    Bytes bytes;
    bool operator==(const Sent&) const = default;
};

// Received blocks go through the connection's real reply watch; a device
// that answers at once is played by a reply noted during the send.
class FakeHost : public MacroHost {
public:
    int32_t Send(const uint8_t* bytes, int32_t length, int32_t clientIndex) override {
        sent.push_back({clientIndex, Bytes(bytes, bytes + length)});
        if (!replyOnSend.empty()) Receive(replyOnSend);
        return 0;
    }
    void MarkReceived() override { ::MarkReceived(*state); }
    bool FirstReceivedSince(int32_t count, ReceivedBlock& out) override {
        return ::FirstReceivedSince(*state, count, out);
    }
    bool LatestReceivedSince(ReceivedBlock& out) override { return ::LatestReceivedSince(*state, out); }
    void StampTrace() override { ++stamps; }
    const TickClock& Clock() override { return clock; }
    bool LowerCaseHex() override { return lowerCaseHex; }
    bool FaultsInJapanese() override { return false; }

    void Receive(const Bytes& block) {
        LockHold hold(state->PeerLock);
        NoteReceivedLocked(*state, block.data(), static_cast<int32_t>(block.size()));
    }

    std::vector<Sent> sent;
    Bytes replyOnSend;
    std::unique_ptr<ConnectionState> state = std::make_unique<ConnectionState>();
    int stamps = 0;
    ManualTickClock clock{100000};
    bool lowerCaseHex = false;
};

// The lines of a macro file as the interpreter holds them: mark, CR LF ends.
std::u16string MacroText(std::initializer_list<std::u16string_view> lines, bool lastCr = true) {
    std::u16string text(1, u'\xFEFF');
    size_t i = 0;
    for (auto line : lines) {
        text += line;
        if (++i < lines.size() || lastCr) text += u"\r\n";
    }
    return text;
}

class MacroTest : public ::testing::Test {
protected:
    void Begin(const std::u16string& text) {
        BeginMacro(*run, text.data(), static_cast<int32_t>(text.size()), nullptr);
    }

    // Ticks every 100 ms until the macro ends; returns the ticks taken.
    int RunToEnd(int maxTicks = 1000) {
        for (int tick = 1; tick <= maxTicks; ++tick) {
            if (Step() == Ended) return tick;
            host.clock.Advance(100);
        }
        return -1;
    }

    MacroStepResult Step() { return RunMacroStep(*run, *registers, host); }

    std::u16string LastBox() const {
        auto shown = boxes.Boxes();
        return shown.empty() ? u"" : shown.back().text;
    }

    Bytes Reg(int r) const {
        const MacroRegister& reg = registers->Registers[r];
        return Bytes(reg.data, reg.data + reg.length);
    }

    ProgramFolder program;
    RecordingMessageBox boxes;
    FakeHost host;
    std::unique_ptr<MacroRun> run = std::make_unique<MacroRun>();
    std::unique_ptr<MacroRegisters> registers = std::make_unique<MacroRegisters>();
    ProgramTexts texts{kEnglish,
                       {{kTextMacroReachedEnd, u"END"},
                        {kTextMacroEndedAtPend, u"PEND"},
                        {kTextEmptyOrNotUtf16, u"NOBOM"}}};
    AppSettings settings;
};

TEST(MacroData, Notation) {
    struct Row {
        std::u16string_view text;
        Bytes bytes;
    } rows[] = {
        {u"41 42", {0x41, 0x04}},  // a blank is one character of a pair
        {u"41 ", {0x41}},          // a lone byte at the end is ignored
        {u"'ABC'0D0A", {0x41, 0x42, 0x43, 0x0D, 0x0A}},
        {u"\"a'b\"", {0x61, 0x27, 0x62}},
        {u"'open", {'o', 'p', 'e', 'n'}},  // an unclosed run runs to the end
        {u"-1G11G", {0xFF, 0x00, 0x01}},
        {u"4'", {0x04}},  // a pair takes the quote as its second byte
    };
    for (const Row& row : rows) {
        uint8_t out[kMacroDataMax];
        int32_t n = MacroDataToBytes(row.text, out, kMacroDataMax);
        EXPECT_EQ(Bytes(out, out + n), row.bytes) << Utf16ToUtf8(row.text);
    }
    // Too long for the buffer: the count says so, nothing beyond is written.
    uint8_t small[4] = {0, 0, 0, 0};
    EXPECT_EQ(MacroDataToBytes(u"'abcdef'", small, 3), 6);
    EXPECT_EQ(Bytes(small, small + 4), (Bytes{'a', 'b', 'c', 0}));
}

TEST(MacroRegistersCounting, CountUp) {
    auto counted = [](const std::string& text, bool hex) {
        MacroRegister r;
        std::memcpy(r.data, text.data(), text.size());
        r.length = static_cast<int32_t>(text.size());
        hex ? IncrementHexText(r) : IncrementDecimalText(r);
        return std::string(reinterpret_cast<char*>(r.data), static_cast<size_t>(r.length));
    };
    EXPECT_EQ(counted("A9", false), "00");  // a non-digit counts as 0; the carry out of the first byte is dropped
    EXPECT_EQ(counted("\xF0" "9", false), "00");  // bytes from 0x80 up are below every digit
    EXPECT_EQ(counted("09", true), "0A");
    EXPECT_EQ(counted("0a", true), "10");  // lower case is above F
    EXPECT_EQ(counted(std::string(255, '9'), false), std::string(255, '0'));
    EXPECT_EQ(counted(std::string(256, '9'), false), std::string(256, '9'));  // above 255 bytes nothing happens
}

TEST_F(MacroTest, Commands) {
    struct Row {
        const char* name;
        std::initializer_list<std::u16string_view> lines;
        std::vector<Sent> sent;
        std::u16string_view endBox = u"END";
        int reg = -1;  // register to check, -1 none
        Bytes regBytes = {};
    } rows[] = {
        {"client characters", {u"SEND3 0D0A", u"SEND0 41", u"SEND9 42", u"SEND: 43", u"SEND 44"},
         {{3, {0x0D, 0x0A}}, {0, {0x41}}, {9, {0x42}}, {0, {0x43}}, {0, {0x44}}}},
        {"lower case and misspelt lines pass", {u"send 41", u"SEN 41", u"READX01", u"; note", u"", u"SEND 42"},
         {{0, {0x42}}}},
        {"PEND ends at its line", {u"SEND 41", u"PEND", u"SEND 42"}, {{0, {0x41}}}, u"PEND"},
        {"MOVE and MSED", {u"MOVE 05 'hi'00", u"MSED 05", u"MSED9 05"}, {{0, {'h', 'i', 0}}, {9, {'h', 'i', 0}}},
         u"END", 5, {'h', 'i', 0}},
        {"MOVE keeps the old bytes beyond, MCLR zeroes them",
         {u"MOVE 01 'abcd'", u"MOVE 01 'x'", u"CMPL 01 no1 'xbc'", u"PEND", u":no1", u"MCLR 01", u"MOVE 01 'x'",
          u"CMPL 01 yes 'x'00", u"PEND", u":yes", u"SEND 01"},
         {{0, {0x01}}}, u"END", 1, B("x")},
        {"MADD", {u"MOVE 01 'ab'", u"MOVE 02 'cd'", u"MADD 01 02", u"MADD 02 02"}, {}, u"END", 2, B("cdcd")},
        {"MMID", {u"MOVE 01 'abcdef'", u"MMID 01 02 03 04"}, {}, u"END", 4, B("cde")},
        {"HINC", {u"MOVE 07 '0F'", u"HINC 07"}, {}, u"END", 7, B("10")},
        {"CHKH", {u"MOVE 01 0102F0", u"CHKH 01 03"}, {}, u"END", 3, {0xF3}},
        {"CMPM with an empty register jumps", {u"MCLR 09", u"CMPM 01 09 yes", u"SEND 01", u":yes", u"SEND 02"},
         {{0, {0x02}}}},
        {"nothing after SEND or MSED; no carriage return after the last line", {u"SEND", u"MSED", u"SEND 43"},
         {{0, {0x43}}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        host.sent.clear();
        boxes.Clear();
        *registers = MacroRegisters{};
        bool lastCr = std::string_view(row.name).find("no carriage return") == std::string_view::npos;
        Begin(MacroText(row.lines, lastCr));
        ASSERT_GT(RunToEnd(), 0);
        EXPECT_EQ(Step(), Ended);  // a tick after the end does nothing
        EXPECT_EQ(host.sent, row.sent);
        if (row.reg >= 0) {
            EXPECT_EQ(Reg(row.reg), row.regBytes);
        }
        EXPECT_EQ(LastBox(), row.endBox);
        EXPECT_EQ(run->Ended, row.endBox == u"PEND" ? MacroEnd::Pend : MacroEnd::EndOfText);
        EXPECT_EQ(boxes.Count(), 1u);
        EXPECT_FALSE(run->Running);
    }
}

TEST_F(MacroTest, ChecksumLetterCaseAndDisplay) {
    host.lowerCaseHex = true;
    Begin(MacroText({u"MOVE 01 AB", u"CHKA 01 02", u"PEND here", u"rest"}));
    RunToEnd();
    EXPECT_EQ(Reg(2), B("ab"));
    // PEND shows its line and everything after it, at its own position.
    EXPECT_EQ(TextView(run->Display.Step), FormatString(u"Step:%03d/%03d", {25, run->MacroLength}));
    EXPECT_EQ(TextView(run->Display.Line), u"PEND here\r\nrest\r\n");
}

TEST_F(MacroTest, TimeWaitsAcrossTicks) {
    Begin(MacroText({u"TIME 003", u"SEND 01"}));
    EXPECT_EQ(Step(), Waiting);
    host.clock.Advance(299);
    EXPECT_EQ(Step(), Waiting);
    host.clock.Advance(1);
    EXPECT_EQ(Step(), Continued);
    EXPECT_EQ(host.sent.size(), 1u);  // the next line runs on the tick that ends the wait

    // TIME 000 ends at once; a wait across the wrap of the tick counter holds.
    host.sent.clear();
    Begin(MacroText({u"TIME 000", u"SEND 01"}));
    EXPECT_EQ(Step(), Continued);
    host.clock.Set(0xFFFFFFF0u);
    Begin(MacroText({u"TIME 001"}));
    EXPECT_EQ(Step(), Waiting);
    host.clock.Set(0x40);
    EXPECT_EQ(Step(), Waiting);
    host.clock.Set(0x54);
    EXPECT_EQ(Step(), Ended);
    EXPECT_EQ(host.stamps, 7);  // each of the seven ticks stamped the trace once, waiting or not
}

TEST_F(MacroTest, ReadWaitsAcrossTicks) {
    host.Receive(B("old"));
    Begin(MacroText({u"READ 01 003 020", u"MSED 01"}));
    EXPECT_EQ(Step(), Waiting);  // the older block does not count
    host.Receive(B("ab"));  // shorter than the count
    host.clock.Advance(100);
    EXPECT_EQ(Step(), Waiting);
    host.Receive(Bytes{'x', 0, 'z', 0});  // zero bytes are data
    host.Receive(B("w"));                 // a shorter block in the same tick
    host.clock.Advance(100);
    EXPECT_EQ(Step(), Continued);
    EXPECT_EQ(Reg(1), (Bytes{'x', 0, 'z', 0}));
    ASSERT_EQ(host.sent.size(), 1u);

    // A timeout stores the newest block since the READ began, or nothing.
    host.sent.clear();
    Begin(MacroText({u"MOVE 02 'zz'", u"READ 02 005 002", u"READ 03 005 001", u"SEND 01"}));
    Step();
    EXPECT_EQ(Step(), Waiting);
    host.Receive(B("ab"));
    host.Receive(B("cd"));
    host.clock.Advance(199);
    EXPECT_EQ(Step(), Waiting);
    host.clock.Advance(1);
    EXPECT_EQ(Step(), Waiting);  // the second READ began
    EXPECT_EQ(Reg(2), B("cd"));
    host.clock.Advance(100);
    EXPECT_EQ(Step(), Continued);
    EXPECT_EQ(registers->Registers[3].length, 0);  // a READ after a READ does not see the older blocks

    // A block longer than a register keeps its first 264 bytes.
    Begin(MacroText({u"READ 04 001 000"}));
    Step();
    host.Receive(Bytes(1023, 'q'));
    Step();
    EXPECT_EQ(registers->Registers[4].length, kMacroRegisterBytes);
}

// A device that answers before the READ line runs is played end to end.
TEST_F(MacroTest, ReadSeesTheReplyToTheMacrosOwnSend) {
    // Count 0 takes the newest block since the send; MSED marks as SEND does,
    // and an empty register or an empty quote still goes out, as zero bytes.
    host.replyOnSend = B("R");
    Begin(MacroText({u"MCLR 05", u"MSED 05", u"READ 06 000 000", u"SEND ''", u"SEND ", u"SEND"}));
    RunToEnd();
    EXPECT_EQ(Reg(6), B("R"));
    EXPECT_EQ(host.sent, (std::vector<Sent>{{0, {}}, {0, {}}}));  // nothing after the keyword sends nothing
    host.Receive(B("older"));  // before the send: never a reply to it
    Begin(MacroText({u"SEND 41", u"READ 07 005 001"}));
    RunToEnd();
    EXPECT_EQ(Reg(7), B("R"));
}

// READ with a count takes the first block at least that long since the mark.
TEST(ReplyWatch, KeepsTheFirstBlockOfEveryLength) {
    auto state = std::make_unique<ConnectionState>();
    ReceivedBlock out;
    EXPECT_FALSE(LatestReceivedSince(*state, out));
    // Lengths 1, 3, 2, 3 again, 5, 4, and then more rising lengths than records.
    uint8_t tag = 0;
    for (int length : {1, 3, 2, 3, 5, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}) {
        Bytes block(static_cast<size_t>(length), ++tag);
        LockHold hold(state->PeerLock);
        NoteReceivedLocked(*state, block.data(), length);
    }
    struct Row {
        int32_t count;
        uint8_t tag;  // of the block found, 0: none
    } rows[] = {{0, 1}, {2, 2}, {4, 5}, {6, 7}, {17, 18}, {18, 21}, {20, 21}, {21, 0}};  // 18 gave way
    for (const Row& row : rows) {
        bool found = FirstReceivedSince(*state, row.count, out);
        EXPECT_EQ(found ? out.bytes[0] : 0, row.tag) << row.count;
    }
    ASSERT_TRUE(LatestReceivedSince(*state, out));
    EXPECT_EQ(out.length, 20);
    MarkReceived(*state);
    EXPECT_FALSE(FirstReceivedSince(*state, 0, out));
    EXPECT_FALSE(LatestReceivedSince(*state, out));
}

TEST_F(MacroTest, LimitsStopTheMacroNamingTheLine) {
    struct Row {
        const char* name;
        std::u16string_view faulty;
        std::u16string_view words;
    } rows[] = {
        {"register above 99", u"MCLR 1x", u""},  // reads as 1: no fault
        {"READ register", u"READ -1 001 001", u"register number is not 00..99"},
        {"MSED register", u"MSED -1", u"register number is not 00..99"},
        {"MADD beyond 264", u"MADD 10 10", u"does not fit"},
        {"MMID negative start", u"MMID 10 -1 02 03", u"outside"},
        {"MMID target register", u"MMID 10 00 02 -1", u"register number is not 00..99"},
        {"CHKA on an empty register", u"CHKA 11 03", u"source register is empty"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        host.sent.clear();
        boxes.Clear();
        *registers = MacroRegisters{};
        registers->Registers[10].length = 200;
        Begin(MacroText({u"SEND 01", u"", std::u16string_view(row.faulty), u"SEND 02"}));
        RunToEnd();
        if (row.words.empty()) {
            ASSERT_FALSE(host.sent.empty());
            EXPECT_EQ(host.sent.back().bytes, Bytes{0x02});
            EXPECT_EQ(LastBox(), u"END");
            continue;
        }
        ASSERT_EQ(boxes.Count(), 1u);
        std::u16string box = LastBox();
        EXPECT_EQ(box.find(u"Macro line 3: "), 0u) << Utf16ToUtf8(box);
        EXPECT_NE(box.find(row.words), std::u16string::npos) << Utf16ToUtf8(box);
        EXPECT_EQ(host.sent.size(), 1u);  // nothing after the faulty line
        EXPECT_FALSE(run->Running);
        EXPECT_EQ(run->Ended, MacroEnd::Fault);
    }
    // A line is taken up to its 255th character.
    host.sent.clear();
    Begin(MacroText({u"SEND '" + std::u16string(300, u'y') + u"'"}));
    RunToEnd();
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(host.sent[0].bytes, Bytes(249, 'y'));
    EXPECT_EQ(TextView(run->Display.Line).size(), 255u);
}

// Each row is one line of a macro: what the check says of it (part of the
// finding), or nothing.
TEST(MacroCheck, FindsLinesThatWillNotRunAsWritten) {
    const struct {
        std::u16string line;
        std::u16string_view finding;
    } rows[] = {
        {u"; a comment, blank lines and labels with words pass", u""}, {u"", u""},
        {u":ok1 the device answered", u""}, {u"SEND3 'AB'0D", u""},
        {u"READ 01 002 030", u""}, {u"READ 01  20   5", u""},  // numbers right-aligned in their columns
        {u"TIME 5", u""},  // a number cut by the line's end
        {u"CMPL 01 ok1 'OK'", u""}, {u"MMID 01 02 03 04", u""},
        {u"PEND and words", u""},
        {u"SNED 41", u"\"SNED 41\" is not a command"},
        {u"Send 41", u"not a command"},
        {u"  SEND 41", u"not a command"},
        {u"READ01 002", u"not a command"},
        {u"GOTO bad", u"no line starts with \":bad\", the label at columns 6-8"},
        {u":fin", u""},
        {u"GOTO END", u"no line starts with \":END\""},  // "SEND3 ..." holds no label
        {u"GOTO ok", u"\"ok\" is shorter than 3"},
        {u"CMPM 01 02 ok 'OK'", u"\":ok \""},
        {u"READ 1 002 030", u"the register at columns 6-7 is \"1 \""},
        {u"MADD 01", u"the register at columns 9-10 is missing"},
        {u"READ 01 2 30", u"the number at columns 9-11 is \"2 3\""},
        {u"MOVE 01,'AB'", u"column 8 should be a blank"},
        {u"SENDx 41", u"the client at column 5 is \"x\""},
        {u"MSED1,05", u"column 6 should be a blank"},
        {u":ab", u"shorter than 3 characters: no jump reaches it"},
        {u":ok1 again", u"on line 3 already"},
        {u"SEND '" + std::u16string(250, u'x') + u"'", u"longer than 255"},
        {u"MOVE 01 41\nPEND", u"a line feed without a carriage return"},
    };
    std::u16string text = u"\uFEFF";
    for (const auto& row : rows) text += row.line + u"\r\n";
    std::map<int32_t, std::u16string> found;
    for (const MacroFinding& f : CheckMacroText(text)) EXPECT_TRUE(found.emplace(f.line, f.what).second);
    for (size_t i = 0; i < std::size(rows); ++i) {
        std::u16string what = found[static_cast<int32_t>(i + 1)];
        EXPECT_EQ(what.empty(), rows[i].finding.empty()) << Utf16ToUtf8(rows[i].line) << ": " << Utf16ToUtf8(what);
        EXPECT_NE(what.find(rows[i].finding), std::u16string::npos) << Utf16ToUtf8(what);
    }
    EXPECT_EQ(found.size(), std::size(rows));
    EXPECT_TRUE(MacroHasCommand(u"\uFEFF; x\r\nPEND"));
    EXPECT_FALSE(MacroHasCommand(u"\uFEFF; x\r\n:lab\r\nSEND"));  // a keyword alone at the end runs nothing
}

// Short names, files without a mark and empty files are refused end to end.
TEST_F(MacroTest, StartingFromFiles) {
    auto file = [&](std::u16string_view name, std::string bytes) { program.folder.WriteBytes(name, bytes); };
    file(u"run.txt", Utf16LeFile(u"SEND 41\r\nTIME 100\r\n"));
    file(u"ansi.txt", "SEND 42\r\n");
    // A name of 260 characters is refused before the file is looked for.
    std::u16string folder = std::u16string(60, u'a') + u"\\" + std::u16string(60, u'b');
    ASSERT_TRUE(CreateDirectoryAt(program.folder.File(folder.substr(0, 60))));
    ASSERT_TRUE(CreateDirectoryAt(program.folder.File(folder)));
    std::u16string tooLong = folder + u"\\" + std::u16string(kMacroFileNameCapacity - 126, u'x') + u".txt";
    ASSERT_TRUE(StartMacroFile(*run, nullptr, u"run.txt", settings));
    EXPECT_EQ(TextView(settings.MacroFileName), u"run.txt");
    Step();
    std::u16string before(run->MacroText, run->MacroLength);

    for (const std::u16string& name : {std::u16string(u"no folder\\x.txt"), tooLong, std::u16string(u"ansi.txt")}) {
        SCOPED_TRACE(Utf16ToUtf8(name));
        boxes.Clear();
        EXPECT_FALSE(StartMacroFile(*run, nullptr, name, settings));
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].caption, u"FileError");
        // The running macro goes on over its own text.
        EXPECT_TRUE(run->Running);
        EXPECT_EQ(std::u16string(run->MacroText, run->MacroLength), before);
    }
    EXPECT_EQ(LastBox(), u"NOBOM");  // the file without a mark
    EXPECT_FALSE(FileExists(program.folder.File(tooLong)));
    EXPECT_EQ(TextView(settings.MacroFileName), u"ansi.txt");

    // Starting again while running restarts from the first line.
    ASSERT_TRUE(StartMacroFile(*run, nullptr, u"run.txt", settings));
    EXPECT_EQ(run->MacroPosition, 1);
    EXPECT_EQ(run->Wait, MacroWait::None);
    // A file larger than the text holds is read up to its capacity.
    file(u"big.txt", Utf16LeFile(std::u16string(30000, u';')));
    ASSERT_TRUE(StartMacroFile(*run, nullptr, u"big.txt", settings));
    EXPECT_EQ(run->MacroLength, kMacroTextCapacity);
}

}  // namespace
