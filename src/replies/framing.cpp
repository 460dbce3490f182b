#include "replies/framing.h"

#include <algorithm>
#include <cstring>

namespace {

// Wrap-safe: the tick clock wraps every 49.7 days, and a time before the
// last byte (a clock read out of order) is no gap at all.
bool GapPassed(uint32_t lastByteMs, uint32_t nowMs, int32_t idleMs) {
    return int32_t(nowMs - lastByteMs) >= idleMs;
}

// For each prefix of the delimiter, the length of its longest proper prefix
// that is also its suffix: a partial match that fails falls back there
// instead of to nothing, so "AAB" is found in "AAAB".
std::vector<int32_t> DelimiterFallback(const std::vector<uint8_t>& delimiter) {
    std::vector<int32_t> fallback(delimiter.size(), 0);
    int32_t matched = 0;
    for (size_t i = 1; i < delimiter.size(); ++i) {
        while (matched > 0 && delimiter[i] != delimiter[size_t(matched)]) matched = fallback[size_t(matched) - 1];
        if (delimiter[i] == delimiter[size_t(matched)]) ++matched;
        fallback[i] = matched;
    }
    return fallback;
}

// Values the rules file would refuse, made harmless rather than trusted.
Framing Sanitized(const Framing& framing) {
    Framing f = framing;
    f.Limit = std::clamp(f.Limit, 1, kMaxFrameLimit);
    f.Length = std::max(f.Length, 1);
    f.FieldOffset = std::max(f.FieldOffset, 0);
    f.FieldSize = std::clamp(f.FieldSize, 1, 4);
    f.IdleMs = std::max(f.IdleMs, 0);
    if (f.Kind == FramingKind::Delimiter && f.Delimiter.empty()) f.Kind = FramingKind::Block;
    return f;
}

}  // namespace

void Framer::Start(const Framing& framing) {
    framing_ = Sanitized(framing);
    buffer_.resize(size_t(framing_.Limit));
    delimiterFallback_ = DelimiterFallback(framing_.Delimiter);
    used_ = 0;
    skipping_ = false;
    delimiterMatched_ = 0;
    lastByteMs_ = 0;
    NextFrame();
}

void Framer::Feed(const uint8_t* bytes, int32_t length, uint32_t nowMs, FrameSink& sink) {
    if (bytes == nullptr || length <= 0) return;
    switch (framing_.Kind) {
    case FramingKind::Delimiter: FeedDelimited(bytes, length, sink); return;
    case FramingKind::FixedLength:
    case FramingKind::LengthField: FeedCounted(bytes, length, sink); return;
    case FramingKind::IdleGap: FeedIdle(bytes, length, nowMs, sink); return;
    case FramingKind::Block: break;
    }
    sink.OnFrame(bytes, std::min(length, framing_.Limit), length > framing_.Limit);
}

void Framer::EndOfBlock(FrameSink& sink) {
    if (used_ > 0) Give(false, sink);
    skipping_ = false;
    delimiterMatched_ = 0;
    NextFrame();
}

bool Framer::Due(uint32_t& atMs) const {
    if (framing_.Kind != FramingKind::IdleGap || used_ == 0) return false;
    atMs = lastByteMs_ + uint32_t(framing_.IdleMs);
    return true;
}

void Framer::Tick(uint32_t nowMs, FrameSink& sink) {
    if (framing_.Kind != FramingKind::IdleGap || !GapPassed(lastByteMs_, nowMs, framing_.IdleMs)) return;
    if (used_ > 0) Give(false, sink);
    skipping_ = false;
}

int32_t Framer::Pending() const { return used_; }

// Runs without the delimiter's first byte go in whole (memchr finds where
// they stop); only bytes that may belong to a delimiter are stepped singly.
void Framer::FeedDelimited(const uint8_t* bytes, int32_t length, FrameSink& sink) {
    const uint8_t* delimiter = framing_.Delimiter.data();
    const int32_t delimiterLength = int32_t(framing_.Delimiter.size());
    int32_t i = 0;
    while (i < length) {
        if (delimiterMatched_ == 0) {
            const void* hit = std::memchr(bytes + i, delimiter[0], size_t(length - i));
            const int32_t end = hit ? int32_t(static_cast<const uint8_t*>(hit) - bytes) : length;
            Append(bytes + i, end - i, false, sink);
            i = end;
            if (i == length) break;
        }
        const uint8_t b = bytes[i];
        int32_t matched = delimiterMatched_;
        while (matched > 0 && b != delimiter[matched]) matched = delimiterFallback_[size_t(matched) - 1];
        if (b == delimiter[matched]) ++matched;
        const bool ends = matched == delimiterLength;
        delimiterMatched_ = ends ? 0 : matched;
        Append(bytes + i, 1, ends, sink);
        ++i;
    }
}

void Framer::FeedCounted(const uint8_t* bytes, int32_t length, FrameSink& sink) {
    int32_t i = 0;
    while (i < length) {
        int32_t taken;
        if (frameLength_ < 0) {
            taken = ReadField(bytes + i, length - i);
        } else {
            taken = int32_t(std::min<int64_t>(frameLength_ - position_, length - i));
            position_ += taken;
        }
        const bool ends = position_ == frameLength_;
        Append(bytes + i, taken, ends, sink);
        i += taken;
        if (ends) NextFrame();
    }
}

// Takes the bytes up to the end of the length field (or all there are),
// gathering the field's value as its bytes pass; they are counted even
// while a cut frame is skipped, so a field beyond Limit still ends it.
int32_t Framer::ReadField(const uint8_t* bytes, int32_t length) {
    const int64_t fieldEnd = int64_t(framing_.FieldOffset) + framing_.FieldSize;
    const int32_t taken = int32_t(std::min<int64_t>(fieldEnd - position_, length));
    const int64_t firstFieldByte = std::max<int64_t>(framing_.FieldOffset - position_, 0);
    for (int64_t k = firstFieldByte; k < taken; ++k) {
        const uint32_t b = bytes[k];
        const int64_t at = position_ + k - framing_.FieldOffset;
        fieldValue_ = framing_.FieldLittleEndian ? fieldValue_ | b << (8 * at) : fieldValue_ << 8 | b;
    }
    position_ += taken;
    if (position_ == fieldEnd) {
        // A length that would end the frame inside its own field (0 counting
        // the whole frame, a negative adjust) ends it right after the field.
        const int64_t counted = int64_t(fieldValue_) + framing_.FieldAdjust;
        const int64_t whole = framing_.FieldCountsWholeFrame ? counted : fieldEnd + counted;
        frameLength_ = std::max(whole, fieldEnd);
    }
    return taken;
}

void Framer::FeedIdle(const uint8_t* bytes, int32_t length, uint32_t nowMs, FrameSink& sink) {
    // The gap passed before these bytes but no Tick came in time: what
    // was pending is a frame of its own.
    if ((used_ > 0 || skipping_) && GapPassed(lastByteMs_, nowMs, framing_.IdleMs)) {
        if (used_ > 0) Give(false, sink);
        skipping_ = false;
    }
    lastByteMs_ = nowMs;
    if (skipping_) return;
    const int32_t kept = std::min(length, framing_.Limit - used_);
    std::memcpy(buffer_.data() + used_, bytes, size_t(kept));
    used_ += kept;
    // A frame of exactly Limit bytes may still end at the gap; only a
    // byte beyond it makes it too long.
    if (kept < length) {
        Give(true, sink);
        skipping_ = true;
    }
}

// Bytes of the current frame; endsFrame when its last one is the frame's
// last. A frame that fills the buffer without ending is cut there.
void Framer::Append(const uint8_t* bytes, int32_t length, bool endsFrame, FrameSink& sink) {
    if (!skipping_) {
        const int32_t kept = std::min(length, framing_.Limit - used_);
        std::memcpy(buffer_.data() + used_, bytes, size_t(kept));
        used_ += kept;
        if (endsFrame && kept == length) {
            Give(false, sink);
            return;
        }
        if (used_ < framing_.Limit) return;
        Give(true, sink);
        skipping_ = true;
    }
    if (endsFrame) skipping_ = false;
}

void Framer::Give(bool cut, FrameSink& sink) {
    const int32_t length = used_;
    used_ = 0;
    sink.OnFrame(buffer_.data(), length, cut);
}

void Framer::NextFrame() {
    position_ = 0;
    fieldValue_ = 0;
    frameLength_ = framing_.Kind == FramingKind::FixedLength ? framing_.Length : -1;
}
