#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "replies/rule_match.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }
const uint8_t* Data(const std::string& text) { return reinterpret_cast<const uint8_t*>(text.data()); }

// In a pattern, '?' stands for a wild byte (flagged with a high bit: any non-zero flag counts).
Rule MakeRule(MatchKind kind, const std::string& text) {
    Rule rule;
    rule.Kind = kind;
    rule.Bytes = Bytes(text);
    for (char c : text) rule.Wild.push_back(kind == MatchKind::Pattern && c == '?' ? 0x80 : 0);
    RegexError error;
    if (kind == MatchKind::Regex) rule.Regex = CompileByteRegex(text, error);
    return rule;
}

// The rule that answers, then its captures $1.. as text.
std::string Match(const RuleSet& rules, const std::string& frame) {
    RegexScratch scratch;
    Captures captures;
    const int32_t found = MatchFrame(rules, Data(frame), int32_t(frame.size()), scratch, captures);
    EXPECT_EQ(captures.Start[0], 0);
    EXPECT_EQ(captures.Length[0], int32_t(frame.size()));  // $0 is the frame, even for a regex
    std::string out = std::to_string(found);
    for (int32_t i = 1; i < captures.Count; ++i)
        out += "," + frame.substr(size_t(captures.Start[i]), size_t(captures.Length[i]));
    return out;
}

TEST(MatchFrame, FirstRuleThatMatchesAnswers) {
    RuleSet rules;
    rules.Rules = {MakeRule(MatchKind::Exact, "PING"), MakeRule(MatchKind::Prefix, "GET "),
                   MakeRule(MatchKind::Pattern, "ID??:??"), MakeRule(MatchKind::Contains, "ERR"),
                   MakeRule(MatchKind::Pattern, "?a?a?a?a?a?a?a?a?a?a?"), MakeRule(MatchKind::Regex, "(\\w+)=(\\d+)")};
    const std::string regexLimit = std::string(kMaxRegexFrame - 3, ' ');
    const std::pair<std::string, std::string> cases[] = {
        {"PING", "0"}, {"PINGX", "-1"}, {"PIN", "-1"}, {"", "-1"},
        {"GET /x", "1"}, {"GET ", "1"}, {"GET ERR", "1"},  // the earlier rule wins
        {"ID12:34", "2,12,34"}, {"ID12:3", "-1"}, {"IX12:34", "-1"}, {"xxERRyy", "3"}, {"ERERR", "3"}, {"ER", "-1"},
        {"0a1a2a3a4a5a6a7a8a9aX", "4,0,1,2,3,4,5,6,7,8"},  // runs beyond $9 take no number
        {"0a1b2a3a4a5a6a7a8a9aX", "-1"}, {"0a1a2a3a4a5a6a7a8a9bX", "-1"},
        {"SET volt=12;", "5,volt,12"}, {"a=1" + regexLimit, "5,a,1"}, {"a=1 " + regexLimit, "-1"},
    };
    for (const auto& [frame, expected] : cases) EXPECT_EQ(Match(rules, frame), expected) << frame;
    rules.Rules.push_back(MakeRule(MatchKind::Any, ""));
    EXPECT_EQ(Match(rules, "zzz"), "6");
    EXPECT_EQ(Match(RuleSet{{}, {MakeRule(MatchKind::Contains, "")}, {}}, "x"), "0");  // nothing is in every frame
}

std::string Check(CheckKind kind, int8_t order, const std::string& bytes) {
    uint8_t out[4];
    const int32_t length = WriteCheck(kind, order, Data(bytes), int32_t(bytes.size()), out);
    return std::string(reinterpret_cast<char*>(out), size_t(length));
}

TEST(WriteCheck, StandardValuesInTheirByteOrder) {
    const std::string digits = "123456789";
    const struct { CheckKind kind; int8_t order; std::string bytes, expected; } cases[] = {
        {CheckKind::Xor, 0, digits, "\x31"}, {CheckKind::XorText, 0, digits, "31"},
        {CheckKind::XorText, 0, "\xAB", "AB"}, {CheckKind::Sum8, 0, digits, "\xDD"},
        {CheckKind::Sum8, 0, "", std::string(1, '\0')}, {CheckKind::Crc16Modbus, 0, "", "\xFF\xFF"},
        {CheckKind::Crc16Modbus, 0, digits, "\x37\x4B"}, {CheckKind::Crc16Modbus, 2, digits, "\x4B\x37"},
        {CheckKind::Crc16CcittFalse, 0, digits, "\x29\xB1"}, {CheckKind::Crc16CcittFalse, 1, digits, "\xB1\x29"},
        {CheckKind::Crc32, 0, digits, "\x26\x39\xF4\xCB"}, {CheckKind::Crc32, 2, digits, "\xCB\xF4\x39\x26"},
        {CheckKind::Crc32, 1, "", std::string(4, '\0')},
    };
    for (const auto& c : cases) EXPECT_EQ(Check(c.kind, c.order, c.bytes), c.expected) << int(c.kind) << c.bytes;
}

ReplyPiece Piece(PieceKind kind, const std::string& bytes = "", int32_t n = 0, CheckKind check = CheckKind::Xor) {
    ReplyPiece piece;
    piece.Kind = kind, piece.Bytes = Bytes(bytes), piece.Capture = n, piece.CheckFrom = n, piece.Check = check;
    return piece;
}

TEST(BuildSend, PiecesInOrder) {
    using enum PieceKind;
    const std::string frame = "ID12-34";
    // $1 and $2 as a pattern gives them; $3 reaches past the frame's end; $4 is beyond Count.
    const Captures captures{.Count = 4, .Start = {0, 2, 5, 5, 0}, .Length = {7, 2, 2, 100, 1}};
    const struct { std::vector<ReplyPiece> pieces; int64_t counter; std::string expected; } cases[] = {
        {{Piece(Bytes, "OK"), Piece(Capture, "", 1), Piece(Bytes, "-"), Piece(Capture, "", 2)}, 0, "OK12-34"},
        {{Piece(Capture, "", 0), Piece(Capture, "", 3), Piece(Capture, "", 4), Piece(Capture, "", -1)}, 0, "ID12-3434"},
        {{Piece(Counter), Piece(Bytes, ","), Piece(Counter)}, 1234567, "1234567,1234567"},
        {{Piece(Counter)}, 0, "0"}, {{Piece(Counter)}, INT64_MIN, "-9223372036854775808"},
        {{Piece(Bytes, "\x02" "123456789"), Piece(Check, "", 1, CheckKind::Crc16Modbus)}, 0,
         "\x02" "123456789\x37\x4B"},
        // A check covers an earlier check's bytes too.
        {{Piece(Bytes, "12"), Piece(Check), Piece(Check, "", 0, CheckKind::Sum8)}, 0, "12\x03\x66"},
        {{Piece(Bytes, "AB"), Piece(Check, "", 10, CheckKind::Sum8)}, 0, std::string("AB\0", 3)},
    };
    std::vector<uint8_t> out(kMaxReplyBytes);
    for (const auto& c : cases) {
        ReplySend send;
        send.Pieces = c.pieces;
        const int32_t length = BuildSend(send, Data(frame), int32_t(frame.size()), captures, c.counter, out.data());
        EXPECT_EQ(std::string(out.begin(), out.begin() + std::max(length, 0)), c.expected);
    }
}

// Whatever piece would pass the limit, the send fails and nothing is written beyond it.
TEST(BuildSend, NeverPassesTheLimit) {
    const std::string fill(kMaxReplyBytes - 1, 'x');
    const Captures whole{.Count = 1, .Start = {0}, .Length = {2}};
    const struct { ReplyPiece last; int32_t expected; } cases[] = {
        {Piece(PieceKind::Bytes, "y"), kMaxReplyBytes}, {Piece(PieceKind::Bytes, "yz"), -1},
        {Piece(PieceKind::Counter), -1}, {Piece(PieceKind::Check, "", 0, CheckKind::Crc32), -1},
        {Piece(PieceKind::Capture), -1},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> out(kMaxReplyBytes + 8, 0xEE);
        ReplySend send;
        send.Pieces = {Piece(PieceKind::Bytes, fill), c.last};
        EXPECT_EQ(BuildSend(send, Data("AB"), 2, whole, 42, out.data()), c.expected);
        EXPECT_EQ(std::vector<uint8_t>(out.end() - 8, out.end()), std::vector<uint8_t>(8, 0xEE));
    }
}

}  // namespace
