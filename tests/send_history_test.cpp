#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "connection/connection_state.h"
#include "platform/text.h"
#include "sending/destination_list.h"
#include "sending/send_history.h"
#include "shell/text_table.h"
#include "support/connection_fixture.h"
#include "support/trace_checker.h"

namespace {

using Codes = std::vector<char16_t>;

Codes CodesOf(const LineEntry& e) { return Codes(e.codes, e.codes + e.count); }

bool Add(SendHistory& history, const Codes& codes) {
    return AddToHistory(history, codes.data(), int32_t(codes.size()));
}

// The first code of each history entry, 0 for an empty one.
std::vector<int> Firsts(const SendHistory& history) {
    std::vector<int> firsts;
    for (const LineEntry& e : history.Lines()) firsts.push_back(e.count ? e.codes[0] : 0);
    return firsts;
}

TEST(SendHistory, NewestFirstAndDuplicatesKeepTheirPlace) {
    SendHistory history;
    EXPECT_TRUE(Add(history, {1}));
    EXPECT_TRUE(Add(history, {2, 0x41}));
    EXPECT_TRUE(Add(history, {3}));
    EXPECT_FALSE(Add(history, {2, 0x41}));  // sent again: stays second
    EXPECT_EQ(Firsts(history)[0], 3);
    EXPECT_EQ(Firsts(history)[1], 2);
    EXPECT_EQ(CodesOf(history.Entries[1]), (Codes{2, 0x41}));

    // A prefix or an extension is a different line; trailing zero codes are not.
    EXPECT_TRUE(Add(history, {2}));
    EXPECT_TRUE(Add(history, {2, 0x41, 0x42}));
    EXPECT_FALSE(Add(history, {3, 0, 0}));
    // An empty line is never stored.
    EXPECT_FALSE(Add(history, {}));
    EXPECT_EQ(Firsts(history), (std::vector<int>{2, 2, 3, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(SendHistory, TheTwentyFirstLinePushesOutTheOldest) {
    SendHistory history;
    for (char16_t i = 1; i <= 21; ++i) ASSERT_TRUE(Add(history, {i}));
    std::vector<int> expected;
    for (int i = 21; i >= 2; --i) expected.push_back(i);
    EXPECT_EQ(Firsts(history), expected);
    EXPECT_EQ(history.Entries[20].count, 0);  // the spare entries stay empty
    EXPECT_EQ(history.Entries[21].count, 0);
}

TEST(SendHistory, DeletingARowMovesTheLaterOnesUp) {
    const struct {
        int32_t index;
        std::vector<int> firsts;
    } cases[] = {
        {2, {20, 19, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
        {0, {19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}},
        {19, {20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 0}},
        {20, {20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}},
        {-1, {20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}},
    };
    for (const auto& c : cases) {
        SendHistory history;
        for (char16_t i = 1; i <= 20; ++i) Add(history, {i, 0x55});
        DeleteHistoryEntry(history, c.index);
        EXPECT_EQ(Firsts(history), c.firsts) << c.index;
        if (c.firsts.back() == 0) {
            EXPECT_EQ(history.Entries[19].codes[1], 0) << c.index;
        }
    }
}

TEST(SendAllowed, ServersNeedSomeoneToSendTo) {
    const struct {
        int32_t ipMode, tipUdpMode, peerState;
        bool allowed;
    } cases[] = {
        {0, 0, kNoPeer, true},           {0, 1, kNoPeer, true},
        {1, 0, kTcpClientAttached, true}, {1, 0, kNoPeer, false},
        {1, 0, kUdpDatagramArrived, false}, {1, 1, kUdpDatagramArrived, true},
        {1, 1, kTcpClientAttached, false}, {1, 1, kNoPeer, false},
        {2, 0, kTcpClientAttached, false}, {1, 2, kUdpDatagramArrived, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SendAllowed(c.ipMode, c.tipUdpMode, c.peerState), c.allowed)
            << c.ipMode << c.tipUdpMode << c.peerState;
}

TEST(SendAllowed, TheRefusalIsShown) {
    TextTable saved = g_Texts;
    CopyTextInto(g_Texts.Texts[32][g_Settings.Language], u"No client yet");
    CopyTextInto(g_Texts.Texts[33][g_Settings.Language], u"Send Error");
    RecordingMessageBox boxes;
    AppSettings settings;
    settings.IpMode = 1;
    auto state = std::make_unique<ConnectionState>();
    EXPECT_FALSE(CheckSendDestination(nullptr, settings, *state));
    state->PeerState.store(kTcpClientAttached);
    EXPECT_TRUE(CheckSendDestination(nullptr, settings, *state));
    auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, u"No client yet");
    EXPECT_EQ(shown[0].caption, u"Send Error");
    g_Texts = saved;
}

TEST(DestinationIndexFromText, TheFirstCharacterAsADigit) {
    const struct {
        std::u16string_view text;
        int32_t index;
    } cases[] = {{u"2-IP:127,0,0,1]", 2}, {u"5", 5}, {u"9x", 9}, {u"12", 1},
                 {u"", 0},                {u"-3", 0}, {u" 4", 0}, {u"x", 0}};
    for (const auto& c : cases) EXPECT_EQ(DestinationIndexFromText(c.text), c.index) << Utf16ToUtf8(c.text);
}

using Texts = std::vector<std::u16string>;

Texts TextsOf(const DestinationList& list) {
    Texts texts;
    for (int32_t i = 0; i < list.count; ++i) texts.push_back(std::u16string(TextView(list.texts[i])));
    return texts;
}

TEST(DestinationList, TcpServerListsItsClientSlots) {
    auto state = std::make_unique<ConnectionState>();
    state->ClientSockets[2] = {SocketHandle(40), Loopback(7, 5000)};
    state->ClientSockets[5] = {SocketHandle(41), Loopback(9, 5001)};
    state->ClientSockets[7] = {SocketHandle(0), Loopback(3)};  // 0 is no socket either
    DestinationList list;
    BuildDestinationList(*state, 1, 0, list);
    EXPECT_TRUE(list.enabled);
    EXPECT_EQ(TextsOf(list), (Texts{u"2-IP:127,0,0,7]", u"5-IP:127,0,0,9]"}));
    EXPECT_EQ(LastClient(*state), Loopback(9, 5001));

    BuildDestinationList(*state, 0, 0, list);  // client mode: the box is disabled
    EXPECT_FALSE(list.enabled);
    EXPECT_EQ(list.count, 0);
}

TEST(DestinationList, UdpServerListsItsSendersOnceADatagramArrived) {
    auto state = std::make_unique<ConnectionState>();
    const uint32_t peers[] = {Loopback(1).address, MakeEndpoint(std::array<int32_t, 4>{192, 168, 10, 200}.data(), 0).address};
    std::copy(std::begin(peers), std::end(peers), state->UdpPeerList);
    state->UdpPeerCount = 2;
    DestinationList list;
    BuildDestinationList(*state, 1, 1, list);
    EXPECT_TRUE(list.enabled);
    EXPECT_EQ(list.count, 0);

    state->PeerState.store(kUdpDatagramArrived);
    BuildDestinationList(*state, 1, 1, list);
    EXPECT_EQ(TextsOf(list), (Texts{u"0-IP:127,0,0,1]", u"1-IP:192,168,10,200]"}));

    state->UdpPeerCount = kUdpPeerCapacity;
    BuildDestinationList(*state, 1, 1, list);
    EXPECT_EQ(list.count, kUdpPeerCapacity);
    EXPECT_EQ(TextsOf(list).back(), u"19-IP:0,0,0,0]");
}

// The send action against a device on the loopback network.
class SendLineTest : public ConnectionTest {
protected:
    void SetUp() override {
        ConnectionTest::SetUp();
        history = std::make_unique<SendHistory>();
    }
    std::unique_ptr<SendHistory> history;
};

TEST_F(SendLineTest, SentLinesAreTracedAndKept) {
    PeerSocket device(true);
    ASSERT_TRUE(device.Bind(Loopback(1)));
    ASSERT_TRUE(device.Listen());
    UseMode(ConnectionMode::TcpClient, device.Port());
    Open();
    PeerSocket accepted(true);
    SocketHandle peer = device.Accept();
    ASSERT_NE(peer, kInvalidSocket);

    const char16_t line[] = {u'A', u'B', u'C', 0x0D, 0x0A};
    EXPECT_EQ(SendLineFromDialog(*history, line, 5, u""), 0);
    uint8_t got[8] = {};
    bool ready = false;
    ASSERT_GT(WaitReadable(&peer, 1, 3000, &ready), 0);
    EXPECT_EQ(ReceiveFrom(peer, got, sizeof got), 5);
    EXPECT_EQ(std::vector<uint8_t>(got, got + 5), (std::vector<uint8_t>{0x41, 0x42, 0x43, 0x0D, 0x0A}));
    EXPECT_EQ(CodesOf(history->Entries[0]), Codes(line, line + 5));
    EXPECT_EQ(TraceBytes(Sent), 5u);

    // An empty line: nothing sent, traced or kept.
    EXPECT_EQ(SendLineFromDialog(*history, line, 0, u""), 0);
    EXPECT_EQ(TraceBytes(Sent), 5u);
    EXPECT_EQ(history->Entries[1].count, 0);
    CloseSocket(peer);
}

TEST_F(SendLineTest, AFailedSendIsNotKept) {
    UseMode(ConnectionMode::TcpServer);
    Open();
    TakeBoxes();
    const char16_t line[] = {u'x'};
    EXPECT_NE(SendLineFromDialog(*history, line, 1, u"3-IP:127,0,0,1]"), 0);  // slot 3 is free
    EXPECT_EQ(history->Entries[0].count, 0);
    EXPECT_EQ(TakeCaptions(), std::vector<std::u16string>{u"WSAGetLastError"});
}

}  // namespace
