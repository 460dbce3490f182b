// Cutting received bytes into frames, one Framer per peer stream (each
// client of a TCP server has its own), so a request that arrives in two
// pieces, or two requests in one piece, come out as the device would see
// them. A Framer holds at most the framing's Limit bytes; a longer frame is
// cut: its first Limit bytes come out marked as cut, and the rest of it, up
// to where the framing says it ends, is skipped.
#pragma once

#include <cstdint>
#include <vector>

#include "replies/reply_rules.h"

class FrameSink {
public:
    virtual ~FrameSink() = default;
    virtual void OnFrame(const uint8_t* frame, int32_t length, bool cut) = 0;
};

class Framer {
public:
    // Starts afresh with the framing (any pending bytes are forgotten); the
    // buffer is reserved here, once, never while feeding.
    void Start(const Framing& framing);
    // Bytes received at nowMs (the tick clock's milliseconds, which wrap).
    // A frame handed to the sink is valid only during that call.
    void Feed(const uint8_t* bytes, int32_t length, uint32_t nowMs, FrameSink& sink);
    // The block (a datagram) ended: bytes still pending form a frame, and a
    // cut frame's skipping ends (in UDP a frame never spans datagrams).
    void EndOfBlock(FrameSink& sink);
    // IdleGap: true and when the pending bytes become a frame.
    bool Due(uint32_t& atMs) const;
    // Gives out the pending frame when its idle gap has passed at nowMs.
    void Tick(uint32_t nowMs, FrameSink& sink);
    int32_t Pending() const;

private:
    void FeedDelimited(const uint8_t* bytes, int32_t length, FrameSink& sink);
    void FeedCounted(const uint8_t* bytes, int32_t length, FrameSink& sink);
    void FeedIdle(const uint8_t* bytes, int32_t length, uint32_t nowMs, FrameSink& sink);
    int32_t ReadField(const uint8_t* bytes, int32_t length);
    void Append(const uint8_t* bytes, int32_t length, bool endsFrame, FrameSink& sink);
    void Give(bool cut, FrameSink& sink);
    void NextFrame();

    Framing framing_;
    std::vector<uint8_t> buffer_;  // Limit bytes, sized by Start
    int32_t used_ = 0;
    bool skipping_ = false;  // the current frame came out cut; its rest is dropped
    // Delimiter: how many delimiter bytes the stream ends with, and where a
    // partial match falls back to when the next byte differs.
    int32_t delimiterMatched_ = 0;
    std::vector<int32_t> delimiterFallback_;
    // FixedLength, LengthField: the current frame's bytes so far (skipped
    // ones too) and its length, -1 until the length field has been read.
    int64_t position_ = 0;
    int64_t frameLength_ = -1;
    uint32_t fieldValue_ = 0;
    uint32_t lastByteMs_ = 0;  // IdleGap
};
