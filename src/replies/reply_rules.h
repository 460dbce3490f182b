// A rules file as the program holds it once it is read: how received bytes
// are cut into frames, the rules tried on each frame in file order (the
// first that matches answers), and the sends made on a timer. A rule set is
// built once and never changed afterwards; a reload builds a new one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "replies/byte_regex.h"

constexpr int32_t kDefaultFrameLimit = 4096;  // bytes; a longer frame is cut
constexpr int32_t kMaxFrameLimit = 65536;
constexpr int32_t kMaxReplyBytes = 65536;     // one send, whatever its pieces
constexpr int32_t kMaxRegexFrame = 2048;      // longer frames never match a regular expression

// ---- Framing ----

enum class FramingKind : uint8_t {
    Block,        // each received block (one datagram in UDP)
    Delimiter,    // up to and including a byte string
    FixedLength,  // every Length bytes
    LengthField,  // a length field says how long the frame is
    IdleGap,      // what arrived before a pause of IdleMs
};

struct Framing {
    FramingKind Kind = FramingKind::Block;
    std::vector<uint8_t> Delimiter;  // Delimiter: one or more bytes
    int32_t Length = 0;              // FixedLength: 1..Limit
    // LengthField: the field at FieldOffset, FieldSize bytes (1, 2 or 4),
    // big-endian unless FieldLittleEndian. Its value, plus FieldAdjust,
    // counts the whole frame when FieldCountsWholeFrame, else the bytes
    // after the field.
    int32_t FieldOffset = 0;
    int32_t FieldSize = 2;
    bool FieldLittleEndian = false;
    bool FieldCountsWholeFrame = false;
    int32_t FieldAdjust = 0;
    int32_t IdleMs = 0;                 // IdleGap: 1..60000
    int32_t Limit = kDefaultFrameLimit;  // 1..kMaxFrameLimit
};

// ---- Replies ----

enum class CheckKind : uint8_t {
    Xor,              // one byte: every byte XORed, as the macro language's check
    XorText,          // the same as two upper-case hex digits
    Sum8,             // the bytes' sum, modulo 256
    Crc16Modbus,      // poly 0x8005 reflected, init 0xFFFF; sent low byte first
    Crc16CcittFalse,  // poly 0x1021, init 0xFFFF; sent high byte first
    Crc32,            // the zip/Ethernet CRC-32; sent low byte first
};

enum class PieceKind : uint8_t {
    Bytes,    // Bytes as written
    Capture,  // $Capture: 0 the whole frame, 1..9 a capture (empty when it took nothing)
    Counter,  // the rule's count of frames answered (or a timer's count of sends), 1 first, as decimal text
    Check,    // a check over the send's bytes from CheckFrom up to here
};

struct ReplyPiece {
    PieceKind Kind = PieceKind::Bytes;
    std::vector<uint8_t> Bytes;
    int32_t Capture = 0;
    CheckKind Check = CheckKind::Xor;
    int32_t CheckFrom = 0;     // offset into the send's bytes
    int8_t CheckOrder = 0;     // 0: the kind's own byte order; 1 little-endian; 2 big-endian
};

struct ReplySend {
    int32_t DelayMs = 0;  // after the frame (or the timer), before this send
    std::vector<ReplyPiece> Pieces;
};

// ---- Rules ----

enum class MatchKind : uint8_t {
    Exact,     // the whole frame is Bytes
    Prefix,    // the frame starts with Bytes
    Contains,  // Bytes occur somewhere in the frame
    Pattern,   // as Exact, but where Wild[i] is set any byte matches; each run of wild bytes is a capture
    Regex,     // Regex searches the frame's bytes read as Latin-1 text
    Any,       // every frame
};

struct Rule {
    int32_t Line = 0;   // where it stands in the rules file
    std::string Text;   // the rule as written (trimmed), for the dialog and the summary
    MatchKind Kind = MatchKind::Exact;
    std::vector<uint8_t> Bytes;
    std::vector<uint8_t> Wild;  // Pattern only: one flag per byte of Bytes
    std::shared_ptr<const ByteRegex> Regex;  // Regex only
    std::vector<ReplySend> Sends;  // none: the frame is swallowed, unanswered
    bool CloseClient = false;      // after the sends: a TCP server closes the client
};

// "every N ms send ...": to every client of a TCP server, every peer a UDP
// server has heard from, a client mode's access point.
struct TimedSend {
    int32_t Line = 0;
    std::string Text;
    int32_t EveryMs = 0;  // 10..86400000
    std::vector<ReplySend> Sends;
};

struct RuleSet {
    Framing Frame;
    std::vector<Rule> Rules;
    std::vector<TimedSend> Timers;
};

struct RulesError {
    int32_t Line = 0;    // 1-based
    int32_t Column = 0;  // 1-based, in characters
    std::string Reason;  // English, one line
};
