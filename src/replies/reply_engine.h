// Reply rules at work: the receive thread hands every received block to the
// engine, which cuts it into frames per peer, finds the first rule that
// matches and sends its answer at once (or after the rule's delay), without
// ever waiting. The owner (the window, the runner) puts rules in and reads
// the counts from its own thread.
//
// Threads: Use, SetOn and the counts are the owner's; everything else runs
// on the receive thread. A new rule set is taken up between two frames, and
// replaces the old one whole.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "connection/connection_state.h"
#include "connection/receive_listener.h"
#include "platform/lock.h"
#include "replies/framing.h"
#include "replies/reply_rules.h"

constexpr int32_t kMaxDelayedSends = 64;  // sends waiting for their time; more are dropped and counted
constexpr int32_t kMaxTimedPeers = 64;    // a UDP server's distinct senders that timed sends go to

// How often each rule of one rule set has answered.
struct RuleHits {
    explicit RuleHits(size_t rules) : Hits(rules) {}
    std::vector<std::atomic<int64_t>> Hits;
};

struct ReplyTotals {
    int64_t Frames = 0;     // frames cut from what arrived
    int64_t Unmatched = 0;  // frames no rule matched (cut frames included)
    int64_t Failed = 0;     // sends that failed or were dropped
    int64_t Cut = 0;        // frames longer than the limit
};

class ReplyEngine : public ReceiveListener, private FrameSink {
public:
    ReplyEngine();

    // ---- the owner's thread ----
    // The rules to answer by from the next frame on; their counts start at 0.
    void Use(std::shared_ptr<const RuleSet> rules);
    std::shared_ptr<const RuleSet> Rules() const;
    std::shared_ptr<const RuleHits> Hits() const;
    void SetOn(bool on);
    bool On() const { return on_.load(); }
    ReplyTotals Totals() const;

    // ---- the receive thread ----
    bool Answering() const override { return On(); }
    void Started(ConnectionMode mode, uint32_t nowMs) override;
    void Received(const PeerRef& from, const uint8_t* bytes, int32_t length, uint32_t nowMs,
                  ReplyPort& port) override;
    void PeerGone(const PeerRef& peer) override;
    void Tick(uint32_t nowMs, ReplyPort& port) override;
    int32_t MsUntilDue(uint32_t nowMs) override;

private:
    struct Delayed {
        bool used = false;
        uint32_t due = 0;
        uint64_t order = 0;  // sends due at the same time go in the order they were made
        PeerRef to;
        bool close = false;
        std::vector<uint8_t> bytes;  // keeps its capacity from one use to the next
    };
    struct Timer {
        uint32_t due = 0;
        int64_t count = 0;
    };
    bool TakeUpChanges(uint32_t nowMs);
    void StartFraming();
    Framer& FramerOf(const PeerRef& peer);
    void OnFrame(const uint8_t* frame, int32_t length, bool cut) override;
    void Answer(const std::vector<ReplySend>& sends, const uint8_t* frame, int32_t length, const Captures& captures,
                int64_t counter, const PeerRef& to, bool close);
    bool Schedule(uint32_t due, const PeerRef& to, const uint8_t* bytes, int32_t length, bool close);
    void RunDue(uint32_t nowMs);
    void RunTimers(uint32_t nowMs);
    void RunIdleFrames(uint32_t nowMs);
    void CloseNow(const PeerRef& client);
    void NotePeer(const PeerRef& peer);

    // Shared with the owner.
    mutable Lock lock_;
    std::shared_ptr<const RuleSet> offered_;  // the newest rules the owner gave
    std::shared_ptr<RuleHits> offeredHits_;
    std::atomic<uint32_t> changes_{0};
    std::atomic<bool> on_{false};
    std::atomic<int64_t> frames_{0}, unmatched_{0}, failed_{0}, cut_{0};

    // The receive thread's own.
    uint32_t seenChanges_ = ~0u;
    std::shared_ptr<const RuleSet> rules_;
    std::shared_ptr<RuleHits> hits_;
    ConnectionMode mode_ = ConnectionMode::TcpClient;
    Framer framers_[kClientSlots + 1];  // a TCP server's clients, then everyone else
    PeerRef framerPeers_[kClientSlots + 1];
    PeerRef udpPeers_[kMaxTimedPeers];
    int32_t udpPeerCount_ = 0;
    Delayed delayed_[kMaxDelayedSends];
    uint64_t delayedOrder_ = 0;
    std::vector<Timer> timers_;
    std::vector<uint8_t> build_;  // one send, built
    RegexScratch scratch_;
    PeerRef pendingClose_;
    bool closePending_ = false;
    // While a frame is answered: where it came from, when, and the port.
    PeerRef from_;
    uint32_t now_ = 0;
    ReplyPort* port_ = nullptr;
};
