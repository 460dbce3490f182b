#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "replies/rules_file.h"
#include "support/temp_folder.h"

namespace {

std::string Hex(const std::vector<uint8_t>& bytes, const std::vector<uint8_t>& wild = {}) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i < wild.size() && wild[i]) {
            text += "??";
        } else {
            text += kDigits[bytes[i] >> 4];
            text += kDigits[bytes[i] & 15];
        }
    }
    return text;
}

std::string Describe(const std::vector<ReplySend>& sends) {
    std::string text;
    for (const ReplySend& send : sends) {
        text += " reply";
        if (send.DelayMs) text += " after " + std::to_string(send.DelayMs);
        for (const ReplyPiece& p : send.Pieces) {
            if (p.Kind == PieceKind::Bytes) text += " " + Hex(p.Bytes);
            if (p.Kind == PieceKind::Capture) text += " $" + std::to_string(p.Capture);
            if (p.Kind == PieceKind::Counter) text += " count";
            if (p.Kind == PieceKind::Check)
                text += " check" + std::to_string(int(p.Check)) + ":" + std::to_string(p.CheckOrder) + "@" +
                        std::to_string(p.CheckFrom);
        }
    }
    return text;
}

// The whole rule set in one line: "framing/limit; line kind bytes sends; ..."
std::string Describe(const RuleSet& set) {
    const Framing& f = set.Frame;
    const char* framings[] = {"block", "delimiter ", "length ", "field ", "idle "};
    std::string text = framings[int(f.Kind)];
    if (f.Kind == FramingKind::Delimiter) text += Hex(f.Delimiter);
    if (f.Kind == FramingKind::FixedLength) text += std::to_string(f.Length);
    if (f.Kind == FramingKind::LengthField)
        text += std::to_string(f.FieldOffset) + " " + std::to_string(f.FieldSize) +
                (f.FieldLittleEndian ? " le" : " be") + (f.FieldCountsWholeFrame ? " whole " : " after ") +
                std::to_string(f.FieldAdjust);
    if (f.Kind == FramingKind::IdleGap) text += std::to_string(f.IdleMs);
    text += "/" + std::to_string(f.Limit);
    const char* matches[] = {"exact", "start", "contains", "pattern", "regex", "any"};
    for (const Rule& r : set.Rules) {
        text += "; " + std::to_string(r.Line) + " " + matches[int(r.Kind)];
        if (r.Regex) text += "(" + std::to_string(RegexGroupCount(*r.Regex)) + ")";
        if (!r.Bytes.empty()) text += " " + Hex(r.Bytes, r.Wild);
        text += Describe(r.Sends) + (r.CloseClient ? " close" : "");
    }
    for (const TimedSend& t : set.Timers)
        text += "; " + std::to_string(t.Line) + " every " + std::to_string(t.EveryMs) + Describe(t.Sends);
    return text;
}

TEST(ParseRules, ValidFiles) {
    const struct {
        std::string text;
        std::string parsed;
    } cases[] = {
        {"# a line device\nframe delimiter 0A\non 'PING'0A reply 'PONG'0A\n"
         "on regex '^ID\\? ?([0-9]+)' reply 'DEV' $1 0A\n",
         "delimiter 0A/4096; 3 exact 50494E470A reply 504F4E470A; 4 regex(1) reply 444556 $1 0A"},
        {"", "block/4096"},
        {"\n  \t\n# only a comment\n", "block/4096"},
        {"frame field 4 2 be after\nframe limit 300", "field 4 2 be after 0/300"},
        {"frame limit 10\nframe field 0 4 le whole -1", "field 0 4 le whole -1/10"},
        {"frame length 8 # eight", "length 8/4096"},
        {"frame delimiter 0D 0a ';'", "delimiter 0D0A3B/4096"},
        {"frame idle 50\non start 'AB' reply 'x' close\non contains 'XY'\non pattern 0001????0006 ?? reply $2 $1\n"
         "on any reply $0",
         "idle 50/4096; 2 start 4142 reply 78 close; 3 contains 5859; 4 pattern 0001????0006?? reply $2 $1; "
         "5 any reply $0"},
        {"on 'QUIET'0A\non 'BYE'0A close\non 'X' reply 'A' reply after 100 'B'\non 'Q' reply 'V=' count 0A",
         "block/4096; 1 exact 51554945540A; 2 exact 4259450A close; 3 exact 58 reply 41 reply after 100 42; "
         "4 exact 51 reply 563D count 0A"},
        {"on 'Q' reply 02 'DATA' check xor-text from 1 03 check crc32:be check crc16-modbus:le check sum8 check xor",
         "block/4096; 1 exact 51 reply 0244415441 check1:0@1 03 check5:2@0 check3:1@0 check2:0@0 check0:0@0"},
        {"every 1000 reply 'T=' count 0D0A\nevery 10 reply after 5 00 check crc16-ccitt",
         "block/4096; 1 every 1000 reply 543D count 0D0A; 2 every 10 reply after 5 00 check4:0@0"},
        {"frame limit 65536\nframe length 000000000000065536\non 'A' reply after 600000 'B'\nevery 86400000 reply 'C'",
         "length 65536/65536; 3 exact 41 reply after 600000 42; 4 every 86400000 reply 43"},
        // A byte-order mark, CRLF, '' as a quote, '#' in quotes, Latin-1 text.
        {"\xEF\xBB\xBF# c\r\nframe block\r\non '''#'  'A' 0D0A\treply 'it''s' '\xC3\xA9' # 'x\r\n",
         "block/4096; 3 exact 2723410D0A reply 69742773E9"},
    };
    for (const auto& c : cases) {
        RuleSet set;
        RulesError error;
        EXPECT_TRUE(ParseRules(c.text, set, error)) << c.text << "\n" << error.Line << ":" << error.Column << " "
                                                    << error.Reason;
        EXPECT_EQ(Describe(set), c.parsed) << c.text;
    }
}

TEST(ParseRules, RuleTextIsTheLineWithoutCommentWithOneBlankBetweenWords) {
    RuleSet set;
    RulesError error;
    ASSERT_TRUE(ParseRules("\xEF\xBB\xBF\r\n  on '#'  reply\t'x' # 'y'\r\n\tevery 10 reply 00 ", set, error));
    ASSERT_EQ(set.Rules.size(), 1u);
    EXPECT_EQ(set.Rules[0].Text, "on '#' reply 'x'");
    EXPECT_EQ(set.Timers[0].Text, "every 10 reply 00");
    EXPECT_EQ(set.Timers[0].Line, 3);
}

TEST(ParseRules, BrokenFilesGiveTheFirstFaultAndChangeNothing) {
    std::string bigReply = "on 'A' reply " + std::string(2 * kMaxReplyBytes, '0');
    const struct {
        std::string text;
        int32_t line, column;
        std::string reason;
    } cases[] = {
        {"frame blah", 1, 7, "unknown word 'blah'"},
        {"\n\n  Frame block", 3, 3, "unknown word 'Frame'"},
        {"on 'A' reply 'B' #x\nbogus 'C'", 2, 1, "unknown word 'bogus'"},
        {"frame length 8\nframe idle 5", 2, 7, "framing set twice"},
        {"frame limit 10\nframe limit 10", 2, 7, "frame limit set twice"},
        {"frame limit 10\nframe length 20", 2, 14, "frame length is longer than the frame limit of 10"},
        {"frame length 20\nframe limit 10", 1, 14, "frame length is longer than the frame limit of 10"},
        {"frame field 9 2 be after\nframe limit 10", 1, 13, "the length field ends beyond"},
        {"frame delimiter '1234'\nframe limit 3", 1, 17, "the delimiter is longer"},
        {"frame field 0 3 be after", 1, 15, "1, 2 or 4"},
        {"frame field 0 2 be", 1, 19, "after or whole"},
        {"frame field 0 2 be after 2 x", 1, 28, "unknown word 'x'"},
        {"frame idle 0", 1, 12, "frame idle takes 1 to 60000 ms"},
        {"frame limit 65537", 1, 13, "frame limit takes 1 to 65536 bytes"},
        {"on 'A' reply after 12x 'B'", 1, 20, "after takes 0 to 600000 ms"},
        {"on 'A' reply after 600001 'B'", 1, 20, "after takes 0 to 600000 ms"},
        {"on 'A' reply after 5 'B' after 6", 1, 26, "after comes first"},
        {"every 5 reply 'T'", 1, 7, "every takes 10 to 86400000 ms"},
        {"every 1000 reply $0", 1, 18, "no frame to take $0 from in a timed send"},
        {"every 1000", 1, 11, "every needs a reply"},
        {"every 1000 reply 'A' close", 1, 22, "no client to close"},
        {"on 'A' reply $1", 1, 14, "no $1 in this rule: it has only $0"},
        {"on pattern 00??01?? reply $3", 1, 27, "it has $0 to $2"},
        {"on pattern ????00 reply $2", 1, 25, "it has $0 to $1"},  // one run, one capture
        {"on 'A' reply $10", 1, 14, "a capture is $0 to $9"},
        {"on $1 reply 'x'", 1, 4, "only for replies"},
        {"on 'A' reply 'B'$1", 1, 17, "stands apart"},
        {"on 'PING", 1, 4, "unterminated quote"},
        {"\xEF\xBB\xBFon 0D0", 1, 6, "hex digits come in pairs"},
        {"on 'A' 0G", 1, 8, "unexpected '0G'"},
        {"on 'A'??", 1, 7, "only for a pattern"},
        {"on '\xC3\xA9\xE2\x9C\x93'", 1, 6, "character above U+00FF"},
        {"# \xC3\xA9\non '\xC3\xA9' \xFF", 2, 8, "invalid UTF-8"},
        {"on '\xED\xA0\x80'", 1, 5, "invalid UTF-8"},  // a surrogate
        {std::string("on 'A\0'", 7), 1, 6, "NUL byte"},
        {"on 'A' reply 'B' close 'C'", 1, 24, "unexpected ''C''"},
        {"on any 'A'", 1, 8, "unexpected ''A''"},
        {"on 'A' reply\n", 1, 8, "nothing to send after reply"},
        {"on reply 'A'", 1, 4, "no bytes to match"},
        {"on 'A' replay 'B'", 1, 8, "unknown word 'replay'"},
        {"on regex", 1, 9, "regex takes its expression in quotes"},
        {"on regex 'a'b", 1, 13, "nothing may follow the closing quote"},
        {"on regex 'a''b)' reply 'x'", 1, 15, "regular expression: "},
        {"on 'A' reply 'B' check crc9", 1, 24, "a check is xor, xor-text"},
        {"on 'A' reply check xor:le", 1, 23, "xor takes no byte order"},
        {"on 'A' reply 'B' check crc32:xx", 1, 29, "a byte order is :le or :be"},
        {"on 'A' reply 'B' check xor from", 1, 32, "from takes 0 to 65536"},
        {"on pattern ??00??00??00??00??00??00??00??00??00??", 1, 12, "at most 9 runs of ??"},
        {bigReply + "00", 1, 14, "a reply takes at most 65536 bytes"},
        {bigReply + " check xor", 1, 14 + 2 * kMaxReplyBytes + 1, "a reply takes at most 65536 bytes"},
        {std::string(kMaxRulesFileBytes + 1, '#'), 0, 0, "file too large"},
    };
    for (const auto& c : cases) {
        RuleSet set;
        RulesError error;
        ASSERT_TRUE(ParseRules("frame idle 50\non any", set, error));
        EXPECT_FALSE(ParseRules(c.text, set, error)) << c.text;
        EXPECT_EQ(error.Line, c.line) << c.text;
        EXPECT_EQ(error.Column, c.column) << c.text;
        EXPECT_NE(error.Reason.find(c.reason), std::string::npos) << c.text << "\n" << error.Reason;
        EXPECT_EQ(Describe(set), "idle 50/4096; 2 any") << c.text;
    }
    RuleSet set;
    RulesError error;
    EXPECT_TRUE(ParseRules(bigReply, set, error)) << "exactly the most a reply holds";
}

TEST(LoadRulesFile, ReadsTheFileOrSaysWhyNot) {
    TempFolder folder;
    folder.WriteBytes(u"device.rules", "frame idle 50\r\non any reply $0\r\n");
    folder.WriteBytes(u"huge.rules", std::string(kMaxRulesFileBytes + 1, ' '));
    RuleSet set;
    RulesError error;
    ASSERT_TRUE(LoadRulesFile(folder.File(u"device.rules"), set, error));
    EXPECT_EQ(Describe(set), "idle 50/4096; 2 any reply $0");
    EXPECT_FALSE(LoadRulesFile(folder.File(u"huge.rules"), set, error));
    EXPECT_EQ(RulesErrorText("huge.rules", error), "huge.rules: " + error.Reason);
    EXPECT_NE(error.Reason.find("file too large"), std::string::npos);
    EXPECT_FALSE(LoadRulesFile(folder.File(u"missing.rules"), set, error));
    EXPECT_EQ(error.Line, 0);
    EXPECT_NE(error.Reason.find("cannot read the file"), std::string::npos);
    EXPECT_EQ(Describe(set), "idle 50/4096; 2 any reply $0");
    EXPECT_EQ(RulesErrorText("a.rules", RulesError{3, 7, "framing set twice"}), "a.rules:3:7: framing set twice");
}

}  // namespace
