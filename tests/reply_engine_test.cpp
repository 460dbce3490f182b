#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <string>
#include <vector>

#include "replies/reply_engine.h"
#include "replies/rules_file.h"
#include "support/connection_fixture.h"
#include "support/trace_checker.h"

namespace {

std::shared_ptr<const RuleSet> Rules(std::string_view text) {
    auto rules = std::make_shared<RuleSet>();
    RulesError error;
    EXPECT_TRUE(ParseRules(text, *rules, error)) << error.Line << ":" << error.Column << " " << error.Reason;
    return rules;
}

// Records what the engine sends and closes, as "slot:bytes" and "close:slot".
class RecordingPort : public ReplyPort {
public:
    bool Send(const PeerRef& to, const uint8_t* bytes, int32_t length) override {
        events.push_back(std::to_string(to.Slot) + ":" + std::string(bytes, bytes + length));
        return accept;
    }
    void CloseClient(const PeerRef& client) override { events.push_back("close:" + std::to_string(client.Slot)); }
    int32_t Peers(PeerRef* out, int32_t capacity) override {
        int32_t n = 0;
        for (int32_t slot : peers)
            if (n < capacity) out[n++] = {slot, Loopback(static_cast<uint8_t>(2 + slot))};
        return n;
    }
    int64_t TakeLateFailures() override { return 0; }
    std::vector<std::string> Take() { return std::exchange(events, {}); }

    std::vector<std::string> events;
    std::vector<int32_t> peers;
    bool accept = true;
};

class ReplyEngineTest : public ::testing::Test {
protected:
    void Start(std::string_view rules, ConnectionMode mode = ConnectionMode::TcpServer) {
        engine.Use(Rules(rules));
        engine.SetOn(true);
        engine.Started(mode, now);
    }
    void Feed(int32_t slot, std::string_view bytes, uint8_t host = 2) {
        engine.Received({slot, Loopback(host, 4000)}, reinterpret_cast<const uint8_t*>(bytes.data()),
                        static_cast<int32_t>(bytes.size()), now, port);
    }
    void At(uint32_t ms) {
        now = ms;
        engine.Tick(now, port);
    }
    int64_t HitsOf(size_t rule) const { return engine.Hits()->Hits[rule].load(); }

    ReplyEngine engine;
    RecordingPort port;
    uint32_t now = 1000;
};

// Each client of a TCP server has its own framing: pieces of two requests
// interleaved between clients are answered once each, to their sender; two
// requests in one block twice, in order; captures and counts go into the
// answer; a frame no rule takes is counted, one without a reply swallowed.
TEST_F(ReplyEngineTest, EachClientIsFramedAndAnsweredOnItsOwn) {
    Start("frame delimiter 0A\n"
          "on 'PING'0A reply 'PONG' count 0A\n"
          "on regex '^ID\\? ?([0-9]+)' reply 'DEV' $1 0A\n"
          "on 'QUIET'0A\n");
    Feed(0, "PI");
    Feed(1, "PIN");
    Feed(0, "NG\nID? 7");
    EXPECT_EQ(port.Take(), (std::vector<std::string>{"0:PONG1\n"}));
    Feed(1, "G\nQUIET\nHUH\n");
    Feed(0, "\nPING\n");
    EXPECT_EQ(port.Take(), (std::vector<std::string>{"1:PONG2\n", "0:DEV7\n", "0:PONG3\n"}));
    EXPECT_EQ(HitsOf(0), 3);
    EXPECT_EQ(HitsOf(2), 1);
    ReplyTotals totals = engine.Totals();
    EXPECT_EQ(totals.Frames, 6);
    EXPECT_EQ(totals.Unmatched, 1);
    // A client that leaves takes its half frame with it.
    Feed(1, "PI");
    engine.PeerGone({1, Loopback(3)});
    Feed(1, "NG\n");
    EXPECT_EQ(port.Take(), std::vector<std::string>{});
    EXPECT_EQ(engine.Totals().Unmatched, 2);
}

// Delays add up from the frame on; a send without a delay after a delayed
// one still waits its turn, and the close comes after the last send. A
// client that leaves meanwhile loses what waited for it (counted).
TEST_F(ReplyEngineTest, DelayedSendsKeepTheirOrderAndTheCloseComesLast) {
    Start("on 'GO' reply 'A' reply after 100 'B' reply 'C' reply after 50 'D' close\n");
    Feed(0, "GO");
    EXPECT_EQ(port.Take(), (std::vector<std::string>{"0:A"}));
    EXPECT_EQ(engine.MsUntilDue(now), 100);
    At(1099);
    EXPECT_EQ(port.Take(), std::vector<std::string>{});
    At(1100);
    EXPECT_EQ(port.Take(), (std::vector<std::string>{"0:B", "0:C"}));
    EXPECT_EQ(engine.MsUntilDue(now), 50);
    At(1200);
    EXPECT_EQ(port.Take(), (std::vector<std::string>{"0:D", "close:0"}));
    Feed(1, "GO");
    port.Take();
    engine.PeerGone({1, Loopback(3)});
    At(1400);
    EXPECT_EQ(port.Take(), std::vector<std::string>{});
    EXPECT_EQ(engine.Totals().Failed, 3);  // B, C and D of the client that left
}

// Timed sends go to every peer: a TCP server's clients as the port lists
// them, a UDP server's distinct senders; rules off send nothing and see
// nothing, and turned on again they start afresh.
TEST_F(ReplyEngineTest, TimedSendsReachEveryPeerWhileTheRulesAreOn) {
    port.peers = {0, 3};
    Start("every 100 reply 'T' count\n");
    At(1100);
    EXPECT_EQ(port.Take(), (std::vector<std::string>{"0:T1", "3:T1"}));
    At(1150);
    engine.SetOn(false);
    At(1300);
    EXPECT_EQ(port.Take(), std::vector<std::string>{});
    EXPECT_EQ(engine.MsUntilDue(now), INT32_MAX);

    ReplyEngine udp;
    RecordingPort udpPort;
    udp.Use(Rules("on any\nevery 100 reply 'T'\n"));
    udp.SetOn(true);
    udp.Started(ConnectionMode::UdpServer, 0);
    for (uint8_t host : {2, 3, 2}) udp.Received({-1, Loopback(host, 4000)}, nullptr, 0, 10, udpPort);
    udp.Tick(100, udpPort);
    EXPECT_EQ(udpPort.Take(), (std::vector<std::string>{"-1:T", "-1:T"}));
}

// A frame longer than the limit is cut, counted and not answered; the rest of
// it is skipped up to its end, so the next frame is read right. A rule set
// taken up between two frames answers from then on, with counts of its own.
TEST_F(ReplyEngineTest, CutFramesAreNotAnsweredAndNewRulesTakeOverBetweenFrames) {
    Start("frame delimiter 0A\nframe limit 8\non any reply 'ok'\n", ConnectionMode::TcpClient);
    Feed(-1, "0123456789AB\nshort\n");
    EXPECT_EQ(port.Take(), (std::vector<std::string>{"-1:ok"}));
    EXPECT_EQ(engine.Totals().Cut, 1);
    EXPECT_EQ(engine.Totals().Unmatched, 1);
    engine.Use(Rules("frame delimiter 0A\non 'x'0A reply 'new'\n"));
    EXPECT_EQ(HitsOf(0), 0);
    Feed(-1, "x\n");
    EXPECT_EQ(port.Take(), (std::vector<std::string>{"-1:new"}));
    EXPECT_EQ(HitsOf(0), 1);
}

// Through real sockets: a TCP server with rules answers each client on the
// receive side, recording every request before its answer, the answer with
// the client's address cells; a client that never reads has its answers
// dropped and counted once its socket is full, while another client is
// still answered.
TEST_F(ConnectionTest, RulesAnswerEachClientAndDropWhatAStalledClientCannotTake) {
    session.Replies.Use(Rules("frame delimiter 0A\non 'PING'0A reply 'PONG'0A\non 'BIG'0A reply $0 '" +
                              std::string(4000, 'x') + "'\n"));
    session.Replies.SetOn(true);
    UseMode(ConnectionMode::TcpServer);
    Open();
    PeerSocket a(true), stalled(true);
    ASSERT_TRUE(a.Connect(Loopback(1, ServerPort())));
    ASSERT_TRUE(stalled.Connect(Loopback(1, ServerPort())));
    ASSERT_TRUE(a.Send(Bytes("PI")));
    ASSERT_TRUE(WaitForTraceBytes(2));
    ASSERT_TRUE(a.Send(Bytes("NG\n")));
    EXPECT_EQ(a.Receive(5), Bytes("PONG\n"));
    TraceCheck check = CheckTrace(SnapshotTrace(session.Trace), false);
    ASSERT_EQ(check.error, "");
    ASSERT_EQ(check.blocks.size(), 3u);
    EXPECT_EQ(check.blocks[0].bytes, Bytes("PI"));
    EXPECT_EQ(check.blocks[1].bytes, Bytes("NG\n"));
    EXPECT_EQ(check.blocks[2].kind, Sent);
    EXPECT_TRUE(check.blocks[2].addressed);
    EXPECT_EQ(check.blocks[2].bytes, Bytes("PONG\n"));

    // The owner's long send and the replies never cut into each other.
    const size_t big = 8 << 20, pings = 200;
    std::vector<uint8_t> seen;
    std::thread peer([&] {  // asks while it reads, so that answers come while the send waits for room
        for (size_t i = 0; i < pings; ++i) {
            a.Send(Bytes("PING\n"));
            std::vector<uint8_t> piece = a.Receive(big / 2 / pings, std::chrono::seconds(30));
            seen.insert(seen.end(), piece.begin(), piece.end());
        }
        std::vector<uint8_t> rest = a.Receive(big + 5 * pings - seen.size(), std::chrono::seconds(30));
        seen.insert(seen.end(), rest.begin(), rest.end());
    });
    std::vector<uint8_t> xs(big, 'x');
    EXPECT_EQ(SendAndRecord(session.Connection, session.Trace, xs.data(), static_cast<int32_t>(big), 0,
                            AddressCells::OnlyWhenSent), 0);
    peer.join();
    ASSERT_EQ(seen.size(), big + 5 * pings);
    auto first = std::find(seen.begin(), seen.end(), 'x');
    EXPECT_EQ(std::count(first, first + static_cast<std::ptrdiff_t>(big), 'x'), static_cast<std::ptrdiff_t>(big));

    std::vector<uint8_t> many;
    for (int i = 0; i < 2000; ++i) many.insert(many.end(), {'B', 'I', 'G', '\n'});
    ASSERT_TRUE(stalled.Send(many));
    ASSERT_TRUE(WaitUntil([&] { return session.Replies.Totals().Failed > 0; }, std::chrono::seconds(10)));
    ASSERT_TRUE(a.Send(Bytes("PING\n")));
    EXPECT_EQ(a.Receive(5), Bytes("PONG\n"));
    EXPECT_EQ(session.Replies.Hits()->Hits[0].load(), static_cast<int64_t>(2 + pings));
}

// A client's timed sends go to its access point.
TEST_F(ConnectionTest, AUdpClientsTimedSendsGoToItsAccessPoint) {
    PeerSocket device(false);
    ASSERT_TRUE(device.Bind(Loopback(1)));
    UseMode(ConnectionMode::UdpClient, device.Port());
    session.Replies.Use(Rules("every 50 reply 'T'\n"));
    session.Replies.SetOn(true);
    Open();
    Ipv4Endpoint from;
    EXPECT_EQ(device.ReceiveDatagram(from), Bytes("T"));
}

}  // namespace
