#include "replies/rule_match.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// ---- Matching ----

bool SameBytes(const uint8_t* a, const uint8_t* b, size_t length) {
    return length == 0 || std::memcmp(a, b, length) == 0;
}

// memchr finds each candidate start; only those are compared in full.
bool ContainsBytes(const uint8_t* frame, int32_t length, const std::vector<uint8_t>& needle) {
    if (needle.empty()) return true;
    const size_t n = needle.size();
    if (size_t(length) < n) return false;
    const uint8_t* p = frame;
    const uint8_t* lastStart = frame + (size_t(length) - n);
    while (p <= lastStart) {
        p = static_cast<const uint8_t*>(std::memchr(p, needle[0], size_t(lastStart - p) + 1));
        if (p == nullptr) return false;
        if (SameBytes(p + 1, needle.data() + 1, n - 1)) return true;
        ++p;
    }
    return false;
}

bool IsWild(const Rule& rule, size_t i) { return i < rule.Wild.size() && rule.Wild[i] != 0; }

// Each run of wild bytes becomes the next capture, as far as there are
// numbers for them ($1 to $9).
void PatternCaptures(const Rule& rule, int32_t length, Captures& captures) {
    captures.Count = 1;
    for (int32_t i = 0; i < length && captures.Count < kMaxCaptures;) {
        if (!IsWild(rule, size_t(i))) {
            ++i;
            continue;
        }
        const int32_t start = i;
        while (i < length && IsWild(rule, size_t(i))) ++i;
        captures.Start[captures.Count] = start;
        captures.Length[captures.Count] = i - start;
        ++captures.Count;
    }
}

uint64_t Word(const uint8_t* bytes) {
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// 0xFF in each byte whose flag is 0, 0x00 where it is set (any value):
// each byte's bits are folded into its lowest one first.
uint64_t CompareMask(uint64_t flags) {
    flags |= flags >> 4;
    flags |= flags >> 2;
    flags |= flags >> 1;
    return ~((flags & 0x0101010101010101u) * 0xFF);
}

// Eight bytes at a time, a wild byte's difference masked out: the pattern
// rules are most of what a large rule set compares.
bool SameButWild(const uint8_t* frame, const uint8_t* bytes, const uint8_t* wild, size_t length) {
    size_t i = 0;
    for (; i + 8 <= length; i += 8)
        if (((Word(frame + i) ^ Word(bytes + i)) & CompareMask(Word(wild + i))) != 0) return false;
    for (; i < length; ++i)
        if (frame[i] != bytes[i] && wild[i] == 0) return false;
    return true;
}

bool MatchesPattern(const Rule& rule, const uint8_t* frame, int32_t length, Captures& captures) {
    const size_t size = rule.Bytes.size();
    if (size_t(length) != size) return false;
    if (rule.Wild.size() >= size) {
        if (!SameButWild(frame, rule.Bytes.data(), rule.Wild.data(), size)) return false;
    } else {
        for (size_t i = 0; i < size; ++i)
            if (frame[i] != rule.Bytes[i] && !IsWild(rule, i)) return false;
    }
    PatternCaptures(rule, length, captures);
    return true;
}

bool MatchesRegex(const Rule& rule, const uint8_t* frame, int32_t length, RegexScratch& scratch,
                  Captures& captures) {
    if (!rule.Regex || length > kMaxRegexFrame) return false;
    if (!SearchByteRegex(*rule.Regex, frame, length, scratch, captures)) return false;
    captures.Count = std::clamp(captures.Count, 1, kMaxCaptures);
    return true;
}

bool Matches(const Rule& rule, const uint8_t* frame, int32_t length, RegexScratch& scratch, Captures& captures) {
    const size_t size = rule.Bytes.size();
    captures.Count = 1;
    switch (rule.Kind) {
    case MatchKind::Exact: return size_t(length) == size && SameBytes(frame, rule.Bytes.data(), size);
    case MatchKind::Prefix: return size_t(length) >= size && SameBytes(frame, rule.Bytes.data(), size);
    case MatchKind::Contains: return ContainsBytes(frame, length, rule.Bytes);
    case MatchKind::Pattern: return MatchesPattern(rule, frame, length, captures);
    case MatchKind::Regex: return MatchesRegex(rule, frame, length, scratch, captures);
    case MatchKind::Any: return true;
    }
    return false;
}

// ---- Checks ----

template <typename T, typename Step>
constexpr std::array<T, 256> CrcTable(Step step) {
    std::array<T, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) table[i] = step(i);
    return table;
}

constexpr auto kCrc16ModbusTable = CrcTable<uint16_t>([](uint32_t byte) {
    uint32_t crc = byte;
    for (int bit = 0; bit < 8; ++bit) crc = crc & 1 ? crc >> 1 ^ 0xA001 : crc >> 1;
    return uint16_t(crc);
});
constexpr auto kCrc16CcittTable = CrcTable<uint16_t>([](uint32_t byte) {
    uint32_t crc = byte << 8;
    for (int bit = 0; bit < 8; ++bit) crc = crc & 0x8000 ? crc << 1 ^ 0x1021 : crc << 1;
    return uint16_t(crc);
});
constexpr auto kCrc32Table = CrcTable<uint32_t>([](uint32_t byte) {
    uint32_t crc = byte;
    for (int bit = 0; bit < 8; ++bit) crc = crc & 1 ? crc >> 1 ^ 0xEDB88320u : crc >> 1;
    return crc;
});

uint32_t Crc16Modbus(const uint8_t* bytes, int32_t length) {
    uint32_t crc = 0xFFFF;
    for (int32_t i = 0; i < length; ++i) crc = crc >> 8 ^ kCrc16ModbusTable[(crc ^ bytes[i]) & 0xFF];
    return crc;
}

uint32_t Crc16CcittFalse(const uint8_t* bytes, int32_t length) {
    uint32_t crc = 0xFFFF;
    for (int32_t i = 0; i < length; ++i) crc = (crc << 8 ^ kCrc16CcittTable[(crc >> 8 ^ bytes[i]) & 0xFF]) & 0xFFFF;
    return crc;
}

uint32_t Crc32(const uint8_t* bytes, int32_t length) {
    uint32_t crc = 0xFFFFFFFFu;
    for (int32_t i = 0; i < length; ++i) crc = crc >> 8 ^ kCrc32Table[(crc ^ bytes[i]) & 0xFF];
    return ~crc;
}

uint8_t XorOf(const uint8_t* bytes, int32_t length) {
    uint8_t x = 0;
    for (int32_t i = 0; i < length; ++i) x ^= bytes[i];
    return x;
}

uint8_t SumOf(const uint8_t* bytes, int32_t length) {
    uint32_t sum = 0;
    for (int32_t i = 0; i < length; ++i) sum += bytes[i];
    return uint8_t(sum);
}

int32_t WriteNumber(uint32_t value, int32_t size, bool littleEndian, uint8_t* out) {
    for (int32_t i = 0; i < size; ++i) {
        const int32_t shift = 8 * (littleEndian ? i : size - 1 - i);
        out[i] = uint8_t(value >> shift);
    }
    return size;
}

// ---- Sends ----

// Appends when it fits; false once the send would pass kMaxReplyBytes.
bool Put(const uint8_t* bytes, size_t length, uint8_t* out, int32_t& used) {
    if (length > size_t(kMaxReplyBytes - used)) return false;
    if (length > 0) std::memcpy(out + used, bytes, length);
    used += int32_t(length);
    return true;
}

int32_t DecimalText(int64_t value, uint8_t* out) {
    char digits[20];
    int32_t count = 0;
    // Negated as unsigned so that the lowest int64 has its digits too.
    uint64_t magnitude = value < 0 ? 0 - uint64_t(value) : uint64_t(value);
    do {
        digits[count++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    int32_t length = 0;
    if (value < 0) out[length++] = '-';
    while (count > 0) out[length++] = uint8_t(digits[--count]);
    return length;
}

bool PutCapture(int32_t n, const uint8_t* frame, int32_t frameLength, const Captures& captures, uint8_t* out,
                int32_t& used) {
    if (n < 0 || n >= captures.Count || n >= kMaxCaptures) return true;
    // Kept inside the frame whatever the captures say.
    const int32_t start = std::clamp(captures.Start[n], 0, frameLength);
    const int32_t length = std::clamp(captures.Length[n], 0, frameLength - start);
    return Put(frame + start, size_t(length), out, used);
}

bool PutPiece(const ReplyPiece& piece, const uint8_t* frame, int32_t frameLength, const Captures& captures,
              int64_t counter, uint8_t* out, int32_t& used) {
    uint8_t text[24];
    switch (piece.Kind) {
    case PieceKind::Bytes: return Put(piece.Bytes.data(), piece.Bytes.size(), out, used);
    case PieceKind::Capture: return PutCapture(piece.Capture, frame, frameLength, captures, out, used);
    case PieceKind::Counter: return Put(text, size_t(DecimalText(counter, text)), out, used);
    case PieceKind::Check: {
        const int32_t from = std::clamp(piece.CheckFrom, 0, used);
        const int32_t size = WriteCheck(piece.Check, piece.CheckOrder, out + from, used - from, text);
        return Put(text, size_t(size), out, used);
    }
    }
    return true;
}

}  // namespace

int32_t MatchFrame(const RuleSet& rules, const uint8_t* frame, int32_t length, RegexScratch& scratch,
                   Captures& captures) {
    length = frame ? std::max(length, 0) : 0;
    int32_t found = -1;
    for (size_t i = 0; i < rules.Rules.size() && found < 0; ++i)
        if (Matches(rules.Rules[i], frame, length, scratch, captures)) found = int32_t(i);
    if (found < 0) captures.Count = 1;
    // $0 is the frame even for a regular expression, whose own $0 is only
    // the part it matched.
    captures.Start[0] = 0;
    captures.Length[0] = length;
    return found;
}

int32_t BuildSend(const ReplySend& send, const uint8_t* frame, int32_t frameLength, const Captures& captures,
                  int64_t counter, uint8_t* out) {
    frameLength = frame ? std::max(frameLength, 0) : 0;
    int32_t used = 0;
    for (const ReplyPiece& piece : send.Pieces)
        if (!PutPiece(piece, frame, frameLength, captures, counter, out, used)) return -1;
    return used;
}

int32_t WriteCheck(CheckKind kind, int8_t order, const uint8_t* bytes, int32_t length, uint8_t* out) {
    static const char kHex[] = "0123456789ABCDEF";
    if (bytes == nullptr) length = 0;
    length = std::max(length, 0);
    const bool little = order == 1;
    const bool big = order == 2;
    switch (kind) {
    case CheckKind::Xor: out[0] = XorOf(bytes, length); return 1;
    case CheckKind::XorText: {
        const uint8_t x = XorOf(bytes, length);
        out[0] = uint8_t(kHex[x >> 4]);
        out[1] = uint8_t(kHex[x & 15]);
        return 2;
    }
    case CheckKind::Sum8: out[0] = SumOf(bytes, length); return 1;
    case CheckKind::Crc16Modbus: return WriteNumber(Crc16Modbus(bytes, length), 2, !big, out);
    case CheckKind::Crc16CcittFalse: return WriteNumber(Crc16CcittFalse(bytes, length), 2, little, out);
    case CheckKind::Crc32: return WriteNumber(Crc32(bytes, length), 4, !big, out);
    }
    return 0;
}
