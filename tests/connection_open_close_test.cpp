#include <gtest/gtest.h>

#include <memory>

#include "common/text_table.h"
#include "connection/connection.h"
#include "connection/send_data.h"
#include "support/connection_fixture.h"
#include "support/program_texts.h"
#include "support/trace_checker.h"

namespace {

// The boxes of an open are run end to end; only the description's cut shows here.
TEST(ConnectionSettings, StartupMessageHasThreeBoundedLines) {
    SocketLibraryInfo info{0x0002, 0x0202, std::string(100, 'd'), "Running"};
    EXPECT_EQ(StartupMessage(info), u"Using:2.0/Max:2.2\r\n" + std::u16string(63, u'd') + u"\r\nRunning");
}

// Every mode closes with one box and records nothing (a UDP server's thread
// waiting for data ends without a datagram); each opens again after, without
// the peer of before. The servers here bind automatically, to every address.
TEST_F(ConnectionTest, EveryModeClosesWithOneBoxAndOpensAgain) {
    PeerSocket device(true), udpTarget(false);
    ASSERT_TRUE(device.Bind(Loopback(1)));
    ASSERT_TRUE(device.Listen());
    ASSERT_TRUE(udpTarget.Bind(Loopback(1)));
    for (ConnectionMode mode : {ConnectionMode::TcpClient, ConnectionMode::TcpServer, ConnectionMode::UdpClient,
                                ConnectionMode::UdpServer, ConnectionMode::UdpServer, ConnectionMode::TcpClient}) {
        UseMode(mode, mode == ConnectionMode::TcpClient ? device.Port() : udpTarget.Port());
        settings.BindMode = 0;
        session.Connection.PeerState.store(kUdpDatagramArrived);  // left from before
        Open();
        EXPECT_TRUE(IsTcpMode(mode) || session.Connection.PeerState.load() == kNoPeer) << int(mode);
        if (IsServerMode(mode)) {
            Ipv4Endpoint local;
            EXPECT_EQ(LocalEndpoint(session.Connection.MainSocket.load(), local), 0);
            EXPECT_TRUE(local.address.IsAny());
        }
        EXPECT_EQ(TakeBoxes().back().text, u"Success of thread!");
        Close();
        EXPECT_EQ(TakeCaptions(), (std::vector<std::u16string>{u"LAN disconnect"}));
        EXPECT_FALSE(IsSessionOpen(session));
        EXPECT_EQ(TraceCount(session.Trace), 0);
    }
}

// A port in use names the failed call and its code, with the long text after
// an explicit bind, and opens nothing. (A refused connect, in Japanese, is run
// end to end.)
TEST_F(ConnectionTest, PortInUseShowsTheLongBindTextAndOpensNothing) {
    PeerSocket holder(true);
    ASSERT_TRUE(holder.Bind(Loopback(1)));
    ASSERT_TRUE(holder.Listen());
    UseMode(ConnectionMode::TcpServer);
    settings.AdapterPort = holder.Port();
    ProgramTexts english(kEnglish);
    EXPECT_FALSE(OpenSession(session, settings, nullptr));
    auto shown = TakeBoxes();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].caption, u"bind_Error");
    EXPECT_TRUE(shown[1].text.starts_with(u"No.10048 :") && shown[1].text.ends_with(u"in about 2 minutes"));
    EXPECT_FALSE(IsSessionOpen(session));
    EXPECT_FALSE(session.Connection.ReceiveThread.Held());
}

// Two sessions in one process keep apart: a UDP server and a UDP client
// exchange datagrams, each recording only its own side in its own trace.
TEST(Sessions, AUdpServerAndAUdpClientWorkSideBySide) {
    SocketLibraryUse library;
    RecordingMessageBox boxes;
    auto server = std::make_unique<Session>(), client = std::make_unique<Session>();
    AppSettings serverSettings, clientSettings;
    serverSettings.TipUdpMode = clientSettings.TipUdpMode = 1;
    serverSettings.IpMode = 1;
    serverSettings.BindMode = 1;
    serverSettings.AdapterPort = 0;
    const int32_t loopback[4] = {127, 0, 0, 1};
    std::copy(loopback, loopback + 4, serverSettings.AdapterIp);
    std::copy(loopback, loopback + 4, clientSettings.AccessIp);
    for (Session* s : {server.get(), client.get()}) ASSERT_TRUE(AllocateTrace(s->Trace));
    ASSERT_TRUE(OpenSession(*server, serverSettings, nullptr));
    Ipv4Endpoint listening;
    ASSERT_EQ(LocalEndpoint(server->Connection.MainSocket.load(), listening), 0);
    clientSettings.AccessPort = listening.port;
    ASSERT_TRUE(OpenSession(*client, clientSettings, nullptr));

    auto send = [](Session& from, std::string_view text) {
        std::vector<uint8_t> bytes = Bytes(text);
        int32_t length = static_cast<int32_t>(bytes.size());
        return SendAndRecord(from.Connection, from.Trace, bytes.data(), length, 0, AddressCells::OnlyWhenSent);
    };
    ASSERT_EQ(send(*client, "ping"), 0);
    ASSERT_TRUE(WaitUntil([&] { return TraceBytes(server->Trace, Received) == 4; }));
    ASSERT_EQ(send(*server, "pong!"), 0);
    ASSERT_TRUE(WaitUntil([&] { return TraceBytes(client->Trace, Received) == 5; }));
    CloseSession(*client, nullptr);
    CloseSession(*server, nullptr);

    TraceCheck atServer = CheckTrace(SnapshotTrace(server->Trace), false);
    TraceCheck atClient = CheckTrace(SnapshotTrace(client->Trace), false);
    ASSERT_EQ(atServer.blocks.size(), 2u);
    ASSERT_EQ(atClient.blocks.size(), 2u);
    EXPECT_TRUE(atServer.blocks[0].kind == Received && atServer.blocks[0].addressed &&
                atServer.blocks[0].bytes == Bytes("ping"));
    EXPECT_TRUE(atServer.blocks[1].kind == Sent && atServer.blocks[1].bytes == Bytes("pong!"));
    EXPECT_TRUE(atClient.blocks[0].kind == Sent && atClient.blocks[0].bytes == Bytes("ping"));
    EXPECT_TRUE(atClient.blocks[1].kind == Received && !atClient.blocks[1].addressed);
    EXPECT_EQ(atClient.addressUnits, 0);
}

}  // namespace
