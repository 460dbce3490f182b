#include "replies/rules_replies.h"

#include <algorithm>
#include <string>

namespace {

constexpr int32_t kTimed = -1;  // a timed send's captures: not even $0
constexpr int32_t kMaxPatternRuns = kMaxCaptures - 1;

constexpr NumberRange kAfterRange{0, 600000, false, "after takes 0 to 600000 ms"};
constexpr NumberRange kFromRange{0, kMaxReplyBytes, false, "from takes 0 to 65536"};
constexpr NumberRange kEveryRange{10, 86400000, false, "every takes 10 to 86400000 ms"};

const struct {
    std::string_view Word;
    MatchKind Kind;
} kMatchWords[] = {
    {"regex", MatchKind::Regex},     {"start", MatchKind::Prefix}, {"contains", MatchKind::Contains},
    {"pattern", MatchKind::Pattern}, {"any", MatchKind::Any},
};

const struct {
    std::string_view Name;
    CheckKind Kind;
    int32_t Width;  // bytes it adds to the send
    bool Ordered;   // takes :le or :be
} kChecks[] = {
    {"xor", CheckKind::Xor, 1, false},
    {"xor-text", CheckKind::XorText, 2, false},
    {"sum8", CheckKind::Sum8, 1, false},
    {"crc16-modbus", CheckKind::Crc16Modbus, 2, true},
    {"crc16-ccitt", CheckKind::Crc16CcittFalse, 2, true},
    {"crc32", CheckKind::Crc32, 4, true},
};
constexpr const char* kCheckNames = "a check is xor, xor-text, sum8, crc16-modbus, crc16-ccitt or crc32";

bool EndsMatch(const RulesCursor& c) { return c.AtEnd() || c.Is("reply") || c.Is("close"); }

int32_t WildRuns(const std::vector<uint8_t>& wild) {
    int32_t runs = 0;
    for (size_t i = 0; i < wild.size(); ++i)
        if (wild[i] && (i == 0 || !wild[i - 1])) ++runs;
    return runs;
}

// The engine counts the pattern's bytes; the line shows each as one
// character, but a quote as two.
int32_t RegexColumn(const RulesToken& token, const std::string& pattern, int32_t offset) {
    size_t end = std::min(static_cast<size_t>(std::max(offset, 0)), pattern.size());
    int32_t column = token.Column + 1;
    for (size_t i = 0; i < end; ++i) column += pattern[i] == '\'' ? 2 : 1;
    return column;
}

bool ReadRegex(RulesCursor& c, Rule& rule, int32_t& captures) {
    if (EndsMatch(c)) return c.Fail("regex takes its expression in quotes, e.g. regex '^ID'");
    const RulesToken& token = c.Token();
    std::string pattern;
    if (!ReadQuotedOnly(token, pattern, c.Error())) return false;
    RegexError fault;
    rule.Regex = CompileByteRegex(pattern, fault);
    if (!rule.Regex)
        return Fault(c.Error(), RegexColumn(token, pattern, fault.Offset), "regular expression: " + fault.Reason);
    captures = RegexGroupCount(*rule.Regex);
    c.Skip();
    return true;
}

// Every byte string up to the sends, as one.
bool ReadMatchBytes(RulesCursor& c, Rule& rule, int32_t& captures) {
    int32_t column = c.Column();
    bool pattern = rule.Kind == MatchKind::Pattern;
    for (; !EndsMatch(c); c.Skip())
        if (!ReadByteString(c.Token(), rule.Bytes, pattern ? &rule.Wild : nullptr, c.Error())) return false;
    if (rule.Bytes.empty()) return Fault(c.Error(), column, "no bytes to match");
    if (!pattern) return true;
    captures = WildRuns(rule.Wild);
    if (captures > kMaxPatternRuns) return Fault(c.Error(), column, "a pattern takes at most 9 runs of ??");
    return true;
}

bool ReadCapture(RulesCursor& c, int32_t captures, ReplySend& send) {
    std::string_view text = c.Token().Text;
    if (text.size() != 2 || text[1] < '0' || text[1] > '9') return c.Fail("a capture is $0 to $9");
    std::string name(text);
    if (captures == kTimed) return c.Fail("no frame to take " + name + " from in a timed send");
    int32_t number = text[1] - '0';
    if (number > captures) {
        std::string has = captures == 0 ? "only $0" : "$0 to $" + std::to_string(captures);
        return c.Fail("no " + name + " in this rule: it has " + has);
    }
    ReplyPiece& piece = send.Pieces.emplace_back();
    piece.Kind = PieceKind::Capture;
    piece.Capture = number;
    c.Skip();
    return true;
}

bool ReadCheck(RulesCursor& c, ReplySend& send, int32_t& fixedBytes) {
    if (c.AtEnd()) return c.Fail(kCheckNames);
    const RulesToken& token = c.Token();
    size_t colon = token.Text.find(':');
    std::string_view name = token.Text.substr(0, colon);
    for (const auto& check : kChecks) {
        if (check.Name != name) continue;
        ReplyPiece piece;
        piece.Kind = PieceKind::Check;
        piece.Check = check.Kind;
        if (colon != std::string_view::npos) {
            std::string_view order = token.Text.substr(colon);
            int32_t column = ColumnIn(token, colon);
            if (order != ":le" && order != ":be") return Fault(c.Error(), column, "a byte order is :le or :be");
            if (!check.Ordered) return Fault(c.Error(), column, std::string(name) + " takes no byte order");
            piece.CheckOrder = order == ":le" ? 1 : 2;
        }
        c.Skip();
        if (c.Is("from")) {
            c.Skip();
            if (!c.TakeNumber(kFromRange, piece.CheckFrom)) return false;
        }
        send.Pieces.push_back(std::move(piece));
        fixedBytes += check.Width;
        return true;
    }
    return c.Fail(kCheckNames);
}

// Byte strings in a row make one piece.
bool ReadBytesPiece(RulesCursor& c, ReplySend& send, int32_t& fixedBytes) {
    if (send.Pieces.empty() || send.Pieces.back().Kind != PieceKind::Bytes) send.Pieces.emplace_back();
    std::vector<uint8_t>& bytes = send.Pieces.back().Bytes;
    size_t before = bytes.size();
    if (!ReadByteString(c.Token(), bytes, nullptr, c.Error())) return false;
    fixedBytes += static_cast<int32_t>(bytes.size() - before);
    c.Skip();
    return true;
}

bool ReadPiece(RulesCursor& c, int32_t captures, ReplySend& send, int32_t& fixedBytes) {
    if (c.Is("after")) return c.Fail("after comes first in a reply");
    if (c.Is("count")) {
        send.Pieces.emplace_back().Kind = PieceKind::Counter;
        c.Skip();
        return true;
    }
    if (c.Is("check")) {
        c.Skip();
        return ReadCheck(c, send, fixedBytes);
    }
    if (c.Token().Text[0] == '$') return ReadCapture(c, captures, send);
    return ReadBytesPiece(c, send, fixedBytes);
}

// From "reply" up to the next "reply", "close" or the end.
bool ReadSend(RulesCursor& c, int32_t captures, ReplySend& send) {
    int32_t replyColumn = c.Column();
    c.Skip();
    if (c.Is("after")) {
        c.Skip();
        if (!c.TakeNumber(kAfterRange, send.DelayMs)) return false;
    }
    // Bytes, checks and the like known before any frame; alone they must fit.
    int32_t fixedBytes = 0;
    while (!c.AtEnd() && !c.Is("reply") && !c.Is("close")) {
        int32_t column = c.Column();
        if (!ReadPiece(c, captures, send, fixedBytes)) return false;
        if (fixedBytes > kMaxReplyBytes) return Fault(c.Error(), column, "a reply takes at most 65536 bytes");
    }
    if (send.Pieces.empty()) return Fault(c.Error(), replyColumn, "nothing to send after reply");
    return true;
}

bool ReadSends(RulesCursor& c, int32_t captures, std::vector<ReplySend>& sends, bool* close) {
    while (!c.AtEnd()) {
        if (c.Is("close")) {
            if (!close) return c.Fail("a timed send has no client to close");
            *close = true;
            c.Skip();
            return c.ExpectEnd();
        }
        if (!c.Is("reply")) return c.FailUnexpected();
        if (!ReadSend(c, captures, sends.emplace_back())) return false;
    }
    return true;
}

}  // namespace

bool ReadOnRule(RulesCursor& cursor, Rule& rule) {
    rule.Kind = MatchKind::Exact;
    for (const auto& match : kMatchWords) {
        if (cursor.Is(match.Word)) {
            rule.Kind = match.Kind;
            cursor.Skip();
            break;
        }
    }
    int32_t captures = 0;
    if (rule.Kind == MatchKind::Regex && !ReadRegex(cursor, rule, captures)) return false;
    if (rule.Kind != MatchKind::Regex && rule.Kind != MatchKind::Any && !ReadMatchBytes(cursor, rule, captures))
        return false;
    return ReadSends(cursor, captures, rule.Sends, &rule.CloseClient);
}

bool ReadTimedSend(RulesCursor& cursor, TimedSend& timer) {
    if (!cursor.TakeNumber(kEveryRange, timer.EveryMs)) return false;
    if (!cursor.Is("reply")) return cursor.AtEnd() ? cursor.Fail("every needs a reply") : cursor.FailUnexpected();
    return ReadSends(cursor, kTimed, timer.Sends, nullptr);
}
