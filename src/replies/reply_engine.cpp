#include "replies/reply_engine.h"

#include <algorithm>
#include <climits>

#include "platform/tick_clock.h"
#include "replies/rule_match.h"

namespace {

constexpr int32_t kOthers = kClientSlots;  // the framer of everyone but a TCP server's clients

int32_t MsUntil(uint32_t nowMs, uint32_t dueMs) {
    int32_t d = static_cast<int32_t>(dueMs - nowMs);
    return d < 0 ? 0 : d;
}

const std::shared_ptr<const RuleSet>& NoRules() {
    static const std::shared_ptr<const RuleSet> none = std::make_shared<RuleSet>();
    return none;
}

}  // namespace

ReplyEngine::ReplyEngine() : build_(kMaxReplyBytes) { Use(NoRules()); }

// ---- the owner's thread ----

void ReplyEngine::Use(std::shared_ptr<const RuleSet> rules) {
    if (!rules) rules = NoRules();
    auto hits = std::make_shared<RuleHits>(rules->Rules.size());
    LockHold hold(lock_);
    offered_ = std::move(rules);
    offeredHits_ = std::move(hits);
    changes_.fetch_add(1);
}

std::shared_ptr<const RuleSet> ReplyEngine::Rules() const {
    LockHold hold(lock_);
    return offered_;
}

std::shared_ptr<const RuleHits> ReplyEngine::Hits() const {
    LockHold hold(lock_);
    return offeredHits_;
}

void ReplyEngine::SetOn(bool on) {
    if (on_.exchange(on) != on && on) changes_.fetch_add(1);  // framing starts afresh
}

ReplyTotals ReplyEngine::Totals() const {
    return {frames_.load(), unmatched_.load(), failed_.load(), cut_.load()};
}

// ---- the receive thread ----

void ReplyEngine::Started(ConnectionMode mode, uint32_t nowMs) {
    mode_ = mode;
    frames_ = unmatched_ = failed_ = cut_ = 0;
    {
        LockHold hold(lock_);
        offeredHits_ = std::make_shared<RuleHits>(offered_->Rules.size());
    }
    for (Delayed& d : delayed_) d.used = false;
    udpPeerCount_ = 0;
    closePending_ = false;
    seenChanges_ = changes_.load() - 1;  // forces a fresh start below
    TakeUpChanges(nowMs);
}

// Takes up new rules, or rules turned on again, between two frames. false
// while the rules are off.
bool ReplyEngine::TakeUpChanges(uint32_t nowMs) {
    if (!on_.load()) return false;
    uint32_t changes = changes_.load();
    if (changes == seenChanges_) return true;
    seenChanges_ = changes;
    {
        LockHold hold(lock_);
        rules_ = offered_;
        hits_ = offeredHits_;
    }
    StartFraming();
    timers_.assign(rules_->Timers.size(), Timer{});
    for (size_t i = 0; i < timers_.size(); ++i) timers_[i].due = nowMs + static_cast<uint32_t>(rules_->Timers[i].EveryMs);
    return true;
}

void ReplyEngine::StartFraming() {
    for (Framer& f : framers_) f.Start(rules_->Frame);
}

Framer& ReplyEngine::FramerOf(const PeerRef& peer) {
    return framers_[peer.Slot >= 0 && peer.Slot < kClientSlots ? peer.Slot : kOthers];
}

void ReplyEngine::Received(const PeerRef& from, const uint8_t* bytes, int32_t length, uint32_t nowMs,
                           ReplyPort& port) {
    if (!TakeUpChanges(nowMs)) return;
    from_ = from;
    now_ = nowMs;
    port_ = &port;
    NotePeer(from);
    Framer& framer = FramerOf(from);
    framerPeers_[&framer - framers_] = from;
    framer.Feed(bytes, length, nowMs, *this);
    if (!IsTcpMode(mode_)) framer.EndOfBlock(*this);  // frames never span datagrams
    if (closePending_) {  // not while the framer was at work on this client
        closePending_ = false;
        CloseNow(pendingClose_);
    }
}

void ReplyEngine::OnFrame(const uint8_t* frame, int32_t length, bool cut) {
    frames_.fetch_add(1);
    if (cut) {  // a frame cut short is not the request it was: never answered
        cut_.fetch_add(1);
        unmatched_.fetch_add(1);
        return;
    }
    Captures captures;
    int32_t k = MatchFrame(*rules_, frame, length, scratch_, captures);
    if (k < 0) {
        unmatched_.fetch_add(1);
        return;
    }
    int64_t counter = hits_->Hits[static_cast<size_t>(k)].fetch_add(1) + 1;
    const Rule& rule = rules_->Rules[static_cast<size_t>(k)];
    Answer(rule.Sends, frame, length, captures, counter, from_, rule.CloseClient);
}

// Sends at once what is due at once; from the first delay on, every send
// (and the close) waits its turn, so the order stays as written.
void ReplyEngine::Answer(const std::vector<ReplySend>& sends, const uint8_t* frame, int32_t length,
                         const Captures& captures, int64_t counter, const PeerRef& to, bool close) {
    uint32_t due = now_;
    bool waiting = false;
    for (const ReplySend& send : sends) {
        int32_t n = BuildSend(send, frame, length, captures, counter, build_.data());
        due += static_cast<uint32_t>(send.DelayMs);
        waiting = waiting || send.DelayMs > 0;
        bool ok = n >= 0 && (waiting ? Schedule(due, to, build_.data(), n, false) : port_->Send(to, build_.data(), n));
        if (!ok) failed_.fetch_add(1);
    }
    if (!close) return;
    if (waiting) {
        if (!Schedule(due, to, nullptr, 0, true)) failed_.fetch_add(1);
    } else {
        pendingClose_ = to;
        closePending_ = true;
    }
}

bool ReplyEngine::Schedule(uint32_t due, const PeerRef& to, const uint8_t* bytes, int32_t length, bool close) {
    for (Delayed& d : delayed_) {
        if (d.used) continue;
        d.used = true;
        d.due = due;
        d.order = delayedOrder_++;
        d.to = to;
        d.close = close;
        d.bytes.assign(bytes, bytes + length);
        return true;
    }
    return false;
}

// The delayed sends whose time has come, earliest first.
void ReplyEngine::RunDue(uint32_t nowMs) {
    for (;;) {
        Delayed* next = nullptr;
        for (Delayed& d : delayed_) {
            if (!d.used || !TickReached(nowMs, d.due)) continue;
            if (!next || static_cast<int32_t>(d.due - next->due) < 0 ||
                (d.due == next->due && d.order < next->order))
                next = &d;
        }
        if (!next) return;
        next->used = false;
        if (next->close)
            CloseNow(next->to);
        else if (!port_->Send(next->to, next->bytes.data(), static_cast<int32_t>(next->bytes.size())))
            failed_.fetch_add(1);
    }
}

void ReplyEngine::RunTimers(uint32_t nowMs) {
    PeerRef peers[kMaxTimedPeers];
    for (size_t i = 0; i < timers_.size(); ++i) {
        Timer& t = timers_[i];
        if (!TickReached(nowMs, t.due)) continue;
        const TimedSend& timed = rules_->Timers[i];
        t.count++;
        // A timer that fell far behind (a slow tick) starts again from now.
        t.due += static_cast<uint32_t>(timed.EveryMs);
        if (TickReached(nowMs, t.due)) t.due = nowMs + static_cast<uint32_t>(timed.EveryMs);
        int32_t count = mode_ == ConnectionMode::UdpServer ? udpPeerCount_ : port_->Peers(peers, kMaxTimedPeers);
        const PeerRef* to = mode_ == ConnectionMode::UdpServer ? udpPeers_ : peers;
        Captures none;
        none.Count = 0;
        for (int32_t p = 0; p < count; ++p) Answer(timed.Sends, nullptr, 0, none, t.count, to[p], false);
    }
}

void ReplyEngine::RunIdleFrames(uint32_t nowMs) {
    for (int32_t k = 0; k <= kOthers; ++k) {
        uint32_t at = 0;
        if (!framers_[k].Due(at) || !TickReached(nowMs, at)) continue;
        from_ = framerPeers_[k];
        framers_[k].Tick(nowMs, *this);
    }
}

void ReplyEngine::Tick(uint32_t nowMs, ReplyPort& port) {
    failed_.fetch_add(port.TakeLateFailures());
    if (!TakeUpChanges(nowMs)) return;
    now_ = nowMs;
    port_ = &port;
    RunIdleFrames(nowMs);
    RunDue(nowMs);
    RunTimers(nowMs);
    if (closePending_) {
        closePending_ = false;
        CloseNow(pendingClose_);
    }
}

int32_t ReplyEngine::MsUntilDue(uint32_t nowMs) {
    if (!on_.load()) return INT32_MAX;
    int32_t ms = INT32_MAX;
    for (const Delayed& d : delayed_)
        if (d.used) ms = std::min(ms, MsUntil(nowMs, d.due));
    for (const Timer& t : timers_) ms = std::min(ms, MsUntil(nowMs, t.due));
    for (const Framer& f : framers_) {
        uint32_t at = 0;
        if (f.Due(at)) ms = std::min(ms, MsUntil(nowMs, at));
    }
    return ms;
}

void ReplyEngine::CloseNow(const PeerRef& client) {
    if (mode_ == ConnectionMode::TcpServer) port_->CloseClient(client);  // PeerGone follows
}

// A client gone: its half frame and its waiting sends go with it (a new
// client in the same slot must not get them).
void ReplyEngine::PeerGone(const PeerRef& peer) {
    if (peer.Slot < 0 || peer.Slot >= kClientSlots) return;
    if (rules_) framers_[peer.Slot].Start(rules_->Frame);
    for (Delayed& d : delayed_) {
        if (!d.used || d.to.Slot != peer.Slot) continue;
        d.used = false;
        if (!d.close) failed_.fetch_add(1);
    }
}

void ReplyEngine::NotePeer(const PeerRef& peer) {
    if (mode_ != ConnectionMode::UdpServer) return;
    for (int32_t i = 0; i < udpPeerCount_; ++i)
        if (udpPeers_[i].Address == peer.Address) return;
    if (udpPeerCount_ < kMaxTimedPeers) udpPeers_[udpPeerCount_++] = peer;
}
