#include "replies/rules_file.h"

#include <algorithm>
#include <vector>

#include "platform/files.h"
#include "replies/rules_cursor.h"
#include "replies/rules_replies.h"
#include "replies/rules_tokens.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kTooLarge = "file too large (a rules file holds at most 1 MiB)";

constexpr NumberRange kLengthRange{1, kMaxFrameLimit, false, "frame length takes 1 to 65536 bytes"};
constexpr NumberRange kIdleRange{1, 60000, false, "frame idle takes 1 to 60000 ms"};
constexpr NumberRange kLimitRange{1, kMaxFrameLimit, false, "frame limit takes 1 to 65536 bytes"};
constexpr NumberRange kOffsetRange{0, kMaxFrameLimit - 1, false, "the field's offset takes 0 to 65535"};
constexpr NumberRange kAdjustRange{-kMaxFrameLimit, kMaxFrameLimit, true,
                                   "the field's adjustment takes -65536 to +65536"};

bool ReadBlock(RulesCursor& c, Framing&) { return c.ExpectEnd(); }

bool ReadDelimiter(RulesCursor& c, Framing& frame) {
    int32_t column = c.Column();
    for (; !c.AtEnd(); c.Skip())
        if (!ReadByteString(c.Token(), frame.Delimiter, nullptr, c.Error())) return false;
    return !frame.Delimiter.empty() || Fault(c.Error(), column, "frame delimiter takes bytes, e.g. 0D0A");
}

bool ReadFixedLength(RulesCursor& c, Framing& frame) {
    return c.TakeNumber(kLengthRange, frame.Length) && c.ExpectEnd();
}

// offset size be|le after|whole [adjustment]
bool ReadLengthField(RulesCursor& c, Framing& frame) {
    static constexpr int32_t kSizes[] = {1, 2, 4};
    int32_t size = 0;
    int32_t order = 0;
    int32_t counts = 0;
    if (!c.TakeNumber(kOffsetRange, frame.FieldOffset) ||
        !c.TakeOneOf({"1", "2", "4"}, "the field's size is 1, 2 or 4", size) ||
        !c.TakeOneOf({"be", "le"}, "the field's byte order is be or le", order) ||
        !c.TakeOneOf({"after", "whole"}, "the field counts the bytes after it or the whole frame: after or whole",
                     counts))
        return false;
    frame.FieldSize = kSizes[size];
    frame.FieldLittleEndian = order == 1;
    frame.FieldCountsWholeFrame = counts == 1;
    if (!c.AtEnd() && !c.TakeNumber(kAdjustRange, frame.FieldAdjust)) return false;
    return c.ExpectEnd();
}

bool ReadIdle(RulesCursor& c, Framing& frame) { return c.TakeNumber(kIdleRange, frame.IdleMs) && c.ExpectEnd(); }

const struct {
    std::string_view Word;
    FramingKind Kind;
    bool (*Read)(RulesCursor&, Framing&);
} kFramings[] = {
    {"block", FramingKind::Block, ReadBlock},
    {"delimiter", FramingKind::Delimiter, ReadDelimiter},
    {"length", FramingKind::FixedLength, ReadFixedLength},
    {"field", FramingKind::LengthField, ReadLengthField},
    {"idle", FramingKind::IdleGap, ReadIdle},
};

// Reads into a rule set of its own, so a file with a fault changes nothing.
class RulesReader {
public:
    bool Read(std::string_view text);

    RuleSet Rules;
    RulesError Error;

private:
    bool ReadLine(std::string_view line);
    bool ReadFrame(RulesCursor& c);
    bool FramingFits();

    std::vector<RulesToken> tokens_;  // of the current line
    int32_t line_ = 0;
    bool framingSet_ = false;
    bool limitSet_ = false;
    // Where the framing's size was written: it is held against the limit
    // once the whole file is read, as the limit may come later.
    int32_t sizeLine_ = 0;
    int32_t sizeColumn_ = 0;
};

bool RulesReader::Read(std::string_view text) {
    if (text.size() > kMaxRulesFileBytes) return Fault(Error, 0, kTooLarge);
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    for (size_t start = 0; start <= text.size();) {
        size_t end = std::min(text.find('\n', start), text.size());
        ++line_;
        // The CR of a CRLF is a blank like any other.
        if (!ReadLine(text.substr(start, end - start))) {
            Error.Line = line_;
            return false;
        }
        start = end + 1;
    }
    return FramingFits();
}

// The words of a line with one blank between them: how the dialog and the
// summary show a rule, whatever columns the file aligned it in.
std::string OneLine(const std::vector<RulesToken>& tokens) {
    std::string text;
    for (const RulesToken& t : tokens) text.append(text.empty() ? "" : " ").append(t.Text);
    return text;
}

bool RulesReader::ReadLine(std::string_view line) {
    if (!SplitRulesLine(line, tokens_, Error)) return false;
    if (tokens_.empty()) return true;
    RulesCursor c(tokens_, Error);
    if (c.Is("frame")) {
        c.Skip();
        return ReadFrame(c);
    }
    if (c.Is("on")) {
        c.Skip();
        Rule rule;
        rule.Line = line_;
        rule.Text = OneLine(tokens_);
        if (!ReadOnRule(c, rule)) return false;
        Rules.Rules.push_back(std::move(rule));
        return true;
    }
    if (c.Is("every")) {
        c.Skip();
        TimedSend timer;
        timer.Line = line_;
        timer.Text = OneLine(tokens_);
        if (!ReadTimedSend(c, timer)) return false;
        Rules.Timers.push_back(std::move(timer));
        return true;
    }
    return c.FailUnexpected();
}

bool RulesReader::ReadFrame(RulesCursor& c) {
    if (c.Is("limit")) {
        if (limitSet_) return c.Fail("frame limit set twice");
        limitSet_ = true;
        c.Skip();
        return c.TakeNumber(kLimitRange, Rules.Frame.Limit) && c.ExpectEnd();
    }
    for (const auto& framing : kFramings) {
        if (!c.Is(framing.Word)) continue;
        if (framingSet_) return c.Fail("framing set twice");
        framingSet_ = true;
        c.Skip();
        Rules.Frame.Kind = framing.Kind;
        sizeLine_ = line_;
        sizeColumn_ = c.Column();
        return framing.Read(c, Rules.Frame);
    }
    if (c.AtEnd()) return c.Fail("frame takes block, delimiter, length, field, idle or limit");
    return c.FailUnexpected();
}

bool RulesReader::FramingFits() {
    const Framing& frame = Rules.Frame;
    std::string reason;
    if (frame.Kind == FramingKind::Delimiter && frame.Delimiter.size() > static_cast<size_t>(frame.Limit))
        reason = "the delimiter is longer than";
    if (frame.Kind == FramingKind::FixedLength && frame.Length > frame.Limit)
        reason = "frame length is longer than";
    if (frame.Kind == FramingKind::LengthField && frame.FieldOffset + frame.FieldSize > frame.Limit)
        reason = "the length field ends beyond";
    if (reason.empty()) return true;
    Error.Line = sizeLine_;
    return Fault(Error, sizeColumn_, reason + " the frame limit of " + std::to_string(frame.Limit) + " bytes");
}

}  // namespace

bool ParseRules(std::string_view text, RuleSet& rules, RulesError& error) {
    RulesReader reader;
    if (!reader.Read(text)) {
        error = std::move(reader.Error);
        return false;
    }
    rules = std::move(reader.Rules);
    return true;
}

bool LoadRulesFile(const std::u16string& path, RuleSet& rules, RulesError& error) {
    std::string bytes;
    const char* reason = "cannot read the file";
    switch (ReadFileBytes(path, bytes, kMaxRulesFileBytes)) {
    case FileReadResult::Ok:
        return ParseRules(bytes, rules, error);
    case FileReadResult::Missing:
        reason = "cannot read the file: there is no such file";
        break;
    case FileReadResult::TooLarge:
        reason = kTooLarge;
        break;
    case FileReadResult::Failed:
        break;
    }
    error = RulesError{0, 0, reason};
    return false;
}

std::string RulesErrorText(std::string_view file, const RulesError& error) {
    std::string text(file);
    if (error.Line > 0) text += ":" + std::to_string(error.Line) + ":" + std::to_string(error.Column);
    return text + ": " + error.Reason;
}
