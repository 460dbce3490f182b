#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "replies/framing.h"

namespace {

using Kind = FramingKind;

// Frames as one string: each frame followed by "|", a cut one by "~|".
struct RecordingSink : FrameSink {
    std::string frames;
    void OnFrame(const uint8_t* frame, int32_t length, bool cut) override {
        frames.append(reinterpret_cast<const char*>(frame), size_t(length)) += cut ? "~|" : "|";
    }
};

// Framing as the rules file gives it; the fields a kind does not use stay default.
Framing Make(Kind kind, int32_t limit, int32_t length = 0, int32_t idleMs = 0, std::string delimiter = "") {
    Framing f;
    f.Kind = kind, f.Limit = limit, f.Length = length, f.IdleMs = idleMs;
    f.Delimiter.assign(delimiter.begin(), delimiter.end());
    return f;
}
Framing Delimited(std::string delimiter, int32_t limit = 4096) { return Make(Kind::Delimiter, limit, 0, 0, delimiter); }
Framing Field(int32_t offset, int32_t size, bool little, bool whole, int32_t adjust, int32_t limit = 4096) {
    Framing f = Make(Kind::LengthField, limit);
    f.FieldOffset = offset, f.FieldSize = size, f.FieldLittleEndian = little;
    f.FieldCountsWholeFrame = whole, f.FieldAdjust = adjust;
    return f;
}
void FeedText(Framer& framer, const std::string& bytes, RecordingSink& sink, uint32_t nowMs = 0) {
    framer.Feed(reinterpret_cast<const uint8_t*>(bytes.data()), int32_t(bytes.size()), nowMs, sink);
}

// Each piece is one Feed; an empty piece ends a block. mode 1 feeds the
// bytes between block ends whole, mode 2 one byte at a time.
std::string Frames(const Framing& framing, const std::vector<std::string>& pieces, int mode = 0) {
    Framer framer;
    framer.Start(framing);
    RecordingSink sink;
    std::string whole;
    for (const std::string& piece : pieces) {
        if (mode == 0 && !piece.empty()) FeedText(framer, piece, sink);
        for (size_t i = 0; mode == 2 && i < piece.size(); ++i) FeedText(framer, piece.substr(i, 1), sink);
        whole += mode == 1 ? piece : "";
        if (!piece.empty()) continue;
        FeedText(framer, whole, sink);
        whole.clear();
        framer.EndOfBlock(sink);
    }
    FeedText(framer, whole, sink);
    return sink.frames;
}

// Where a stream frame ends never depends on how its bytes arrive.
TEST(Framer, CutsStreamsWhereverTheBytesSplit) {
    const std::string zeros(4, '\0');
    const struct {
        const char* name;
        Framing framing;
        std::vector<std::string> pieces;
        std::string expected;
    } cases[] = {
        {"delimiter split across feeds", Delimited("\r\n"), {"AB\r", "\nCD\r\n\r\nE"}, "AB\r\n|CD\r\n|\r\n|"},
        {"a block's end gives what is pending", Delimited("\r\n"), {"AB\r\nE", ""}, "AB\r\n|E|"},
        {"a block's end forgets a partial delimiter", Delimited("\r\n"), {"AB\r", "", "\nC\r\n"}, "AB\r|\nC\r\n|"},
        {"a partial match falls back, not to nothing", Delimited("AAB"), {"XAA", "AB"}, "XAAAB|"},
        {"a frame of exactly Limit bytes", Delimited("\n", 4), {"ABC\n"}, "ABC\n|"},
        {"too long: cut, rest skipped up to the delimiter", Delimited("\n", 4), {"ABCDEFG\nHI\n"}, "ABCD~|HI\n|"},
        {"the delimiter straddles the cut", Delimited("\r\n", 4), {"ABC\r\nXY\r\n"}, "ABC\r~|XY\r\n|"},
        {"a block's end ends the skipping", Delimited("\n", 2), {"ABCD", "", "E\n"}, "AB~|E\n|"},
        {"without it the skipping goes on", Delimited("\n", 2), {"ABCD", "E\n"}, "AB~|"},
        {"a delimiter longer than Limit", Delimited("ABC", 2), {"ABCAB"}, "AB~|AB~|"},
        {"a feed far beyond Limit", Delimited("\n", 3), {std::string(10000, 'x') + "\nok\n"}, "xxx~|ok\n|"},
        {"out of range: Limit and length at least one", Make(Kind::FixedLength, 0), {"AB"}, "A|B|"},
        {"fixed length", Make(Kind::FixedLength, 4096, 3), {"ABCDE", "FG", ""}, "ABC|DEF|G|"},
        {"fixed length beyond Limit", Make(Kind::FixedLength, 3, 5), {"ABCDEFGHIJK"},
         "ABC~|FGH~|"},
        {"a field after the offset counts what follows", Field(1, 2, false, false, 0),
         {std::string("\x02\x00\x03" "abc\x02\x00\x01z", 10)}, std::string("\x02\x00\x03" "abc|\x02\x00\x01z|", 12)},
        {"one byte counting the whole frame", Field(0, 1, false, true, 0), {"\x03" "ab\x02" "c"},
         "\x03" "ab|\x02" "c|"},
        {"little-endian four bytes", Field(0, 4, true, true, 0), {std::string("\x06\0\0\0hi", 6)},
         std::string("\x06\0\0\0hi|", 7)},
        {"adjust for two check bytes", Field(0, 1, false, false, 2), {"\x01xCC\x00" "DD"}, "\x01xCC|\x00" "DD|"},
        {"zero counting the whole frame ends after the field", Field(0, 2, false, true, 0), {zeros},
         std::string("\0\0|\0\0|", 6)},
        {"a negative result ends after the field", Field(0, 1, false, false, -5), {"\x01\x01"}, "\x01|\x01|"},
        {"longer than Limit: cut, the declared rest skipped", Field(0, 1, false, false, 0, 4), {"\x06" "abcdef\x01z"},
         "\x06" "abc~|\x01z|"},
        {"a huge length is skipped until the block ends", Field(0, 4, false, false, 0, 4),
         {"\xff\xff\xff\xff" "abc", "", zeros}, "\xff\xff\xff\xff~|" + zeros + "|"},
        {"a field beyond Limit still ends the frame", Field(4, 1, false, false, 0, 2), {"ABCD\x01xQRST\x00"},
         "AB~|QR~|"},
    };
    for (const auto& c : cases)
        for (int mode : {0, 1, 2}) EXPECT_EQ(Frames(c.framing, c.pieces, mode), c.expected) << c.name << mode;
}

TEST(Framer, BlockIsEachFeedAndNothingIsNoFrame) {
    EXPECT_EQ(Frames(Make(Kind::Block, 3), {"AB", "ABCDE", "", "", "XYZ"}), "AB|ABC~|XYZ|");
    EXPECT_EQ(Frames(Delimited("", 8), {"AB", "CD"}), "AB|CD|");  // nothing to look for: as blocks
    for (const Framing& framing : {Framing{}, Delimited("\n")}) {
        Framer framer;
        framer.Start(framing);
        RecordingSink sink;
        framer.Feed(nullptr, 0, 0, sink);
        framer.Feed(reinterpret_cast<const uint8_t*>("A"), -1, 0, sink);
        framer.EndOfBlock(sink);
        FeedText(framer, "A", sink);
        framer.Start(framing);  // forgets the pending byte
        framer.EndOfBlock(sink);
        EXPECT_EQ(sink.frames, framing.Kind == Kind::Block ? "A|" : "");
    }
}

// Scripted: F feeds bytes at a time, T ticks, E ends a block, D records
// when the pending bytes are due ("@time|", "-|" when not).
struct IdleStep { char op; uint32_t atMs; std::string bytes; };

TEST(Framer, IdleGapEndsAFrame) {
    const struct {
        const char* name;
        int32_t limit;
        std::vector<IdleStep> steps;
        std::string expected;
    } cases[] = {
        {"due ten after the last byte", 64,
         {{'D', 0, ""}, {'F', 100, "AB"}, {'F', 105, "C"}, {'D', 0, ""}, {'T', 114, ""}, {'T', 115, ""}, {'D', 0, ""}},
         "-|@115|ABC|-|"},
        {"bytes after a missed tick start a new frame", 64, {{'F', 100, "A"}, {'F', 200, "B"}, {'T', 210, ""}}, "A|B|"},
        {"the clock wraps", 64, {{'F', 0xFFFFFFF8u, "A"}, {'D', 0, ""}, {'T', 0xFFFFFFFFu, ""}, {'T', 2, ""}}, "@2|A|"},
        {"a clock read before the last byte is no gap", 64,
         {{'F', 100, "A"}, {'T', 90, ""}, {'F', 105, "B"}, {'T', 115, ""}}, "AB|"},
        {"exactly Limit bytes are not cut", 3, {{'F', 0, "ABC"}, {'T', 10, ""}}, "ABC|"},
        {"one byte more cuts, the rest is skipped to the gap", 3,
         {{'F', 0, "ABC"}, {'F', 5, "D"}, {'F', 14, "E"}, {'T', 24, ""}, {'F', 30, "F"}, {'T', 40, ""}}, "ABC~|F|"},
        {"a late feed after skipping starts afresh", 3, {{'F', 0, "ABCDE"}, {'F', 50, "F"}, {'E', 0, ""}}, "ABC~|F|"},
        {"a block's end gives the frame at once", 64, {{'F', 0, "AB"}, {'E', 0, ""}, {'D', 0, ""}}, "AB|-|"},
    };
    for (const auto& c : cases) {
        Framer framer;
        framer.Start(Make(Kind::IdleGap, c.limit, 0, 10));
        RecordingSink sink;
        for (const IdleStep& step : c.steps) {
            uint32_t due = 0;
            if (step.op == 'F') FeedText(framer, step.bytes, sink, step.atMs);
            if (step.op == 'T') framer.Tick(step.atMs, sink);
            if (step.op == 'E') framer.EndOfBlock(sink);
            if (step.op == 'D') sink.frames += framer.Due(due) ? "@" + std::to_string(due) + "|" : "-|";
        }
        EXPECT_EQ(sink.frames, c.expected) << c.name;
    }
}

}  // namespace
