#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "replies/framing.h"

namespace {

// Frames as one string: each frame followed by "|", a cut one by "~|".
struct RecordingSink : FrameSink {
    std::string frames;
    void OnFrame(const uint8_t* frame, int32_t length, bool cut) override {
        frames.append(reinterpret_cast<const char*>(frame), size_t(length));
        frames += cut ? "~|" : "|";
    }
};

Framing Make(FramingKind kind, int32_t limit) {
    Framing f;
    f.Kind = kind;
    f.Limit = limit;
    return f;
}
Framing Delimited(std::string delimiter, int32_t limit = kDefaultFrameLimit) {
    Framing f = Make(FramingKind::Delimiter, limit);
    f.Delimiter.assign(delimiter.begin(), delimiter.end());
    return f;
}
Framing Fixed(int32_t length, int32_t limit = kDefaultFrameLimit) {
    Framing f = Make(FramingKind::FixedLength, limit);
    f.Length = length;
    return f;
}
Framing Field(int32_t offset, int32_t size, bool little, bool whole, int32_t adjust,
              int32_t limit = kDefaultFrameLimit) {
    Framing f = Make(FramingKind::LengthField, limit);
    f.FieldOffset = offset;
    f.FieldSize = size;
    f.FieldLittleEndian = little;
    f.FieldCountsWholeFrame = whole;
    f.FieldAdjust = adjust;
    return f;
}

void FeedText(Framer& framer, const std::string& bytes, RecordingSink& sink, uint32_t nowMs = 0) {
    framer.Feed(reinterpret_cast<const uint8_t*>(bytes.data()), int32_t(bytes.size()), nowMs, sink);
}

// Each piece is one Feed; an empty piece is the end of a block.
std::string Frames(const Framing& framing, const std::vector<std::string>& pieces) {
    Framer framer;
    framer.Start(framing);
    RecordingSink sink;
    for (const std::string& piece : pieces) {
        if (piece.empty()) framer.EndOfBlock(sink);
        else FeedText(framer, piece, sink);
    }
    return sink.frames;
}

// The same bytes fed whole between block ends, and one byte at a time.
std::vector<std::string> Joined(const std::vector<std::string>& pieces) {
    std::vector<std::string> out{""};
    for (const std::string& piece : pieces) {
        if (piece.empty()) out.push_back("");
        out.back() += piece;
        if (piece.empty()) out.push_back("");
    }
    return out;
}
std::vector<std::string> Bytewise(const std::vector<std::string>& pieces) {
    std::vector<std::string> out;
    for (const std::string& piece : pieces) {
        if (piece.empty()) out.push_back("");
        for (char c : piece) out.push_back(std::string(1, c));
    }
    return out;
}

struct FramingCase {
    const char* name;
    Framing framing;
    std::vector<std::string> pieces;
    std::string expected;
};

// Where a stream frame ends never depends on how its bytes arrive, so
// every case also runs fed whole and fed byte by byte.
TEST(Framer, CutsStreamsWhereverTheBytesSplit) {
    const std::string big(10000, 'x');
    const FramingCase cases[] = {
        {"delimiter split across feeds", Delimited("\r\n"), {"AB\r", "\nCD\r\n\r\nE"}, "AB\r\n|CD\r\n|\r\n|"},
        {"the end of a block gives what is pending", Delimited("\r\n"), {"AB\r\nE", ""}, "AB\r\n|E|"},
        {"a block's end forgets a partial delimiter", Delimited("\r\n"), {"AB\r", "", "\nC\r\n"}, "AB\r|\nC\r\n|"},
        {"a partial match falls back, not to nothing", Delimited("AAB"), {"XAA", "AB"}, "XAAAB|"},
        {"a frame of exactly Limit bytes", Delimited("\n", 4), {"ABC\n"}, "ABC\n|"},
        {"too long: cut, rest skipped up to the delimiter", Delimited("\n", 4), {"ABCDEFG\nHI\n"}, "ABCD~|HI\n|"},
        {"the delimiter straddles the cut", Delimited("\r\n", 4), {"ABC\r\nXY\r\n"}, "ABC\r~|XY\r\n|"},
        {"the end of a block ends the skipping", Delimited("\n", 2), {"ABCD", "", "E\n"}, "AB~|E\n|"},
        {"without it the skipping goes on", Delimited("\n", 2), {"ABCD", "E\n"}, "AB~|"},
        {"a delimiter longer than Limit", Delimited("ABC", 2), {"ABCAB"}, "AB~|AB~|"},
        {"a feed far beyond Limit", Delimited("\n", 3), {big + "\nok\n"}, "xxx~|ok\n|"},
        {"values out of range: Limit and length at least one", Fixed(0, 0), {"AB"}, "A|B|"},
        {"fixed length", Fixed(3), {"ABCDE", "FG", ""}, "ABC|DEF|G|"},
        {"fixed length beyond Limit", Fixed(5, 3), {"ABCDEFGHIJK"}, "ABC~|FGH~|"},
        {"field after the offset counts what follows", Field(1, 2, false, false, 0),
         {std::string("\x02\x00\x03" "abc\x02\x00\x01z", 10)}, std::string("\x02\x00\x03" "abc|\x02\x00\x01z|", 12)},
        {"one byte counting the whole frame", Field(0, 1, false, true, 0), {"\x03" "ab\x02" "c"}, "\x03" "ab|\x02" "c|"},
        {"little-endian four bytes", Field(0, 4, true, true, 0), {std::string("\x06\x00\x00\x00hi", 6)},
         std::string("\x06\x00\x00\x00hi|", 7)},
        {"adjust for two check bytes", Field(0, 1, false, false, 2), {"\x01xCC\x00" "DD"}, "\x01xCC|\x00" "DD|"},
        {"zero counting the whole frame ends after the field", Field(0, 2, false, true, 0),
         {std::string(4, '\0')}, std::string("\0\0|\0\0|", 6)},
        {"a negative result ends after the field", Field(0, 1, false, false, -5), {"\x01\x01"}, "\x01|\x01|"},
        {"longer than Limit: cut, the declared rest skipped", Field(0, 1, false, false, 0, 4), {"\x06" "abcdef\x01z"},
         "\x06" "abc~|\x01z|"},
        {"a huge length is skipped until the block ends", Field(0, 4, false, false, 0, 4),
         {"\xff\xff\xff\xff" "abc", "", std::string(4, '\0')}, "\xff\xff\xff\xff~|" + std::string(4, '\0') + "|"},
        {"a field beyond Limit still ends the frame", Field(4, 1, false, false, 0, 2), {"ABCD\x01xQRST\x00"},
         "AB~|QR~|"},
    };
    for (const FramingCase& c : cases) {
        EXPECT_EQ(Frames(c.framing, c.pieces), c.expected) << c.name;
        EXPECT_EQ(Frames(c.framing, Joined(c.pieces)), c.expected) << c.name << ", fed whole";
        EXPECT_EQ(Frames(c.framing, Bytewise(c.pieces)), c.expected) << c.name << ", fed byte by byte";
    }
}

TEST(Framer, BlockIsEachFeed) {
    EXPECT_EQ(Frames(Make(FramingKind::Block, 3), {"AB", "ABCDE", "", "", "XYZ"}), "AB|ABC~|XYZ|");
    // Nothing to look for: each feed is a frame, as in block framing.
    EXPECT_EQ(Frames(Delimited("", 8), {"AB", "CD"}), "AB|CD|");
}

TEST(Framer, NothingFedNothingGiven) {
    for (const Framing& framing : {Make(FramingKind::Block, 4), Delimited("\n"), Fixed(2)}) {
        Framer framer;
        framer.Start(framing);
        RecordingSink sink;
        framer.Feed(nullptr, 0, 0, sink);
        framer.Feed(reinterpret_cast<const uint8_t*>("A"), 0, 0, sink);
        framer.Feed(reinterpret_cast<const uint8_t*>("A"), -1, 0, sink);
        framer.EndOfBlock(sink);
        EXPECT_EQ(sink.frames, "");
    }
}

TEST(Framer, StartForgetsPendingBytes) {
    Framer framer;
    framer.Start(Delimited("\n"));
    RecordingSink sink;
    FeedText(framer, "AB", sink);
    EXPECT_EQ(framer.Pending(), 2);
    framer.Start(Delimited("\n"));
    FeedText(framer, "C\n", sink);
    EXPECT_EQ(sink.frames, "C\n|");
}

// Scripted steps: F feeds bytes at a time, T ticks, E ends a block, D
// records when the pending bytes are due ("@time|", "-|" when not).
struct IdleStep {
    char op;
    uint32_t atMs;
    std::string bytes;
};

std::string IdleFrames(int32_t limit, const std::vector<IdleStep>& steps) {
    Framing framing = Make(FramingKind::IdleGap, limit);
    framing.IdleMs = 10;
    Framer framer;
    framer.Start(framing);
    RecordingSink sink;
    for (const IdleStep& step : steps) {
        uint32_t due = 0;
        switch (step.op) {
        case 'F': FeedText(framer, step.bytes, sink, step.atMs); break;
        case 'T': framer.Tick(step.atMs, sink); break;
        case 'E': framer.EndOfBlock(sink); break;
        case 'D': sink.frames += framer.Due(due) ? "@" + std::to_string(due) + "|" : "-|"; break;
        }
    }
    return sink.frames;
}

TEST(Framer, IdleGapEndsAFrame) {
    const uint32_t nearWrap = 0xFFFFFFF8u;
    const struct {
        const char* name;
        int32_t limit;
        std::vector<IdleStep> steps;
        std::string expected;
    } cases[] = {
        {"due ten after the last byte", 64,
         {{'D', 0, ""}, {'F', 100, "AB"}, {'F', 105, "C"}, {'D', 0, ""}, {'T', 114, ""}, {'T', 115, ""}, {'D', 0, ""}},
         "-|@115|ABC|-|"},
        {"bytes after a missed tick start a new frame", 64, {{'F', 100, "A"}, {'F', 200, "B"}, {'T', 210, ""}},
         "A|B|"},
        {"the clock wraps", 64, {{'F', nearWrap, "A"}, {'D', 0, ""}, {'T', 0xFFFFFFFFu, ""}, {'T', 2, ""}}, "@2|A|"},
        {"a clock read before the last byte is no gap", 64,
         {{'F', 100, "A"}, {'T', 90, ""}, {'F', 105, "B"}, {'T', 115, ""}}, "AB|"},
        {"exactly Limit bytes are not cut", 3, {{'F', 0, "ABC"}, {'T', 10, ""}}, "ABC|"},
        {"one byte more cuts, the rest is skipped to the gap", 3,
         {{'F', 0, "ABC"}, {'F', 5, "D"}, {'F', 14, "E"}, {'T', 24, ""}, {'F', 30, "F"}, {'T', 40, ""}},
         "ABC~|F|"},
        {"a late feed after skipping starts afresh", 3, {{'F', 0, "ABCDE"}, {'F', 50, "F"}, {'E', 0, ""}},
         "ABC~|F|"},
        {"the end of a block gives the frame at once", 64, {{'F', 0, "AB"}, {'E', 0, ""}, {'D', 0, ""}}, "AB|-|"},
    };
    for (const auto& c : cases) EXPECT_EQ(IdleFrames(c.limit, c.steps), c.expected) << c.name;
}

}  // namespace
