#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "common/text_table.h"
#include "connection/connection.h"
#include "support/connection_fixture.h"

namespace {

using Captions = std::vector<std::u16string>;

TEST(ConnectionSettings, VersionWordsModesAndTheStartupMessage) {
    EXPECT_EQ(SocketVersionWord(3), 0x0002);  // version 2.0: the major version in the low byte
    EXPECT_EQ(SocketVersionWord(7), 0x0202);  // anything unknown: the newest
    AppSettings settings;
    settings.TipUdpMode = 1;
    settings.IpMode = 2;
    EXPECT_EQ(ModeOf(settings), ConnectionMode::UdpClient);  // only 1 makes a server
    settings.TipUdpMode = 5;
    settings.IpMode = 1;
    EXPECT_EQ(ModeOf(settings), ConnectionMode::TcpServer);  // only 1 makes UDP
    // Three lines, the description cut to its 63 characters.
    SocketLibraryInfo info{0x0002, 0x0202, std::string(100, 'd'), "Running"};
    EXPECT_EQ(StartupMessage(info), u"Using:2.0/Max:2.2\r\n" + std::u16string(63, u'd') + u"\r\nRunning");
}

// Every mode opens with its boxes and closes with one, recording nothing (a
// UDP server's thread waiting for data ends without a datagram); reopening works.
TEST_F(ConnectionTest, EveryModeOpensAndClosesWithTheExactSequence) {
    PeerSocket device(true), udpTarget(false);
    ASSERT_TRUE(device.Bind(Loopback(1)));
    ASSERT_TRUE(device.Listen());
    ASSERT_TRUE(udpTarget.Bind(Loopback(1)));
    const struct {
        ConnectionMode mode;
        Captions opening;
    } cases[] = {
        {ConnectionMode::TcpClient, {u"WSAStartup", u"LAN connection", u"LAN connection"}},
        {ConnectionMode::TcpServer, {u"WSAStartup", u"LAN connection"}},
        {ConnectionMode::UdpClient, {u"WSAStartup", u"LAN connection", u"LAN connection"}},
        {ConnectionMode::UdpServer, {u"WSAStartup", u"LAN connection"}},
        {ConnectionMode::UdpServer, {u"WSAStartup", u"LAN connection"}},
    };
    for (const auto& c : cases) {
        UseMode(c.mode, c.mode == ConnectionMode::TcpClient ? device.Port() : udpTarget.Port());
        Open();
        EXPECT_TRUE(IsConnectionActive());
        auto shown = TakeBoxes();
        Captions captions;
        for (const auto& box : shown) captions.push_back(box.caption);
        EXPECT_EQ(captions, c.opening);
        EXPECT_EQ(shown[0].text.substr(0, 6), u"Using:");
        EXPECT_EQ(shown.back().text, u"Success of thread!");
        if (shown.size() == 3) {
            EXPECT_EQ(shown[1].text.substr(0, 12), u"Success\uFF01 No.");
        }
        Close();
        EXPECT_EQ(TakeCaptions(), (Captions{u"LAN disconnect"}));
        EXPECT_FALSE(IsConnectionActive());
        EXPECT_EQ(TraceCount(g_Trace), 0);
    }
}

// Runs an action while the "Success of thread!" box is open, the way a peer
// may turn up while the user still reads it.
class PeerDuringSuccessBox : public MessageBoxHost {
public:
    explicit PeerDuringSuccessBox(std::function<void()> action)
        : action_(std::move(action)), previous_(SetMessageBoxHost(this)) {}
    ~PeerDuringSuccessBox() override { SetMessageBoxHost(previous_); }
    int Show(WindowHandle owner, std::u16string_view text, std::u16string_view caption, uint32_t style) override {
        if (text == u"Success of thread!") action_();
        return previous_->Show(owner, text, caption, style);
    }

private:
    std::function<void()> action_;
    MessageBoxHost* previous_;
};

TEST_F(ConnectionTest, APeerArrivingDuringTheSuccessBoxIsKept) {
    PeerSocket device(true);
    ASSERT_TRUE(device.Bind(Loopback(1)));
    ASSERT_TRUE(device.Listen());
    const struct {
        ConnectionMode mode;
        int32_t peerState;
    } cases[] = {
        {ConnectionMode::TcpClient, kNoPeer},
        {ConnectionMode::TcpServer, kTcpClientAttached},
        {ConnectionMode::UdpClient, kNoPeer},
        {ConnectionMode::UdpServer, kUdpDatagramArrived},
    };
    for (const auto& c : cases) {
        g_Connection.PeerState.store(kUdpDatagramArrived);  // left from before: every open starts without a peer
        PeerSocket peer(IsTcpMode(c.mode));
        PeerDuringSuccessBox arrival([&] {
            if (!IsServerMode(c.mode)) return;
            Ipv4Endpoint server = Loopback(1, ServerPort());
            ASSERT_TRUE(c.mode == ConnectionMode::TcpServer ? peer.Connect(server) : peer.SendTo(Bytes("x"), server));
            ASSERT_TRUE(WaitUntil([&] { return g_Connection.PeerState.load() == c.peerState; }));
        });
        UseMode(c.mode, device.Port());
        Open();
        EXPECT_EQ(g_Connection.PeerState.load(), c.peerState) << int(c.mode);
        Close();
        EXPECT_FALSE(IsConnectionActive());
    }
}

// A port in use names the failed call and its code, with the long text after
// an explicit bind, and opens nothing. (A refused connect is run end to end.)
TEST_F(ConnectionTest, PortInUseShowsTheLongBindTextAndOpensNothing) {
    PeerSocket holder(true);
    ASSERT_TRUE(holder.Bind(Loopback(1)));
    ASSERT_TRUE(holder.Listen());
    UseMode(ConnectionMode::TcpServer);
    g_Settings.AdapterPort = holder.Port();
    g_Settings.Language = kEnglish;
    EXPECT_FALSE(OpenConnection(nullptr));
    auto shown = TakeBoxes();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].caption, u"bind_Error");
    EXPECT_EQ(shown[1].text.substr(0, 10), u"No.10048 :");
    EXPECT_NE(shown[1].text.find(u"\r\n Please try again in about 2 minutes"), std::u16string::npos);
    EXPECT_FALSE(IsConnectionActive());
    EXPECT_FALSE(g_Connection.ReceiveThread.Held());
}

TEST_F(ConnectionTest, ServerWithAutoBindListensOnEveryAddress) {
    UseMode(ConnectionMode::TcpServer);
    g_Settings.BindMode = 0;
    Open();
    Ipv4Endpoint local;
    ASSERT_EQ(LocalEndpoint(g_Connection.MainSocket.load(), local), 0);
    EXPECT_EQ(local.address, 0u);
    EXPECT_NE(local.port, 0);
}

// The question stays while any client does, even after another one left.
TEST_F(ConnectionTest, ClosingAServerWithAClientAsksFirst) {
    UseMode(ConnectionMode::TcpServer);
    Open();
    PeerSocket client(true);
    auto leaving = std::make_unique<PeerSocket>(true);
    ASSERT_TRUE(client.Connect(Loopback(1, ServerPort())));
    ASSERT_TRUE(leaving->Connect(Loopback(1, ServerPort())));
    ASSERT_TRUE(WaitUntil([] { return ConnectedClientCount(g_Connection) == 2; }));
    leaving.reset();
    ASSERT_TRUE(WaitUntil([] { return ConnectedClientCount(g_Connection) == 1; }));
    TakeBoxes();
    boxes.Answer(kIdNo);
    Close();
    auto shown = TakeBoxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].style, static_cast<uint32_t>(kMbYesNo));
    EXPECT_TRUE(IsConnectionActive());  // No keeps everything open
    ASSERT_TRUE(client.Send(Bytes("still here")));
    EXPECT_TRUE(WaitForTraceBytes(10));

    boxes.Answer(kIdYes);
    Close();
    EXPECT_EQ(TakeCaptions(), (Captions{u"", u"LAN disconnect"}));
    EXPECT_FALSE(IsConnectionActive());
    // The accepted client went with the server.
    EXPECT_TRUE(client.Receive(1, std::chrono::milliseconds(2000)).empty());
}

}  // namespace
