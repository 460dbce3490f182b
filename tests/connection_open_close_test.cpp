#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "common/text_table.h"
#include "connection/connection.h"
#include "platform/worker_thread.h"
#include "support/connection_fixture.h"
#include "support/program_texts.h"

namespace {

// The boxes of an open are run end to end; only the description's cut shows here.
TEST(ConnectionSettings, StartupMessageHasThreeBoundedLines) {
    SocketLibraryInfo info{0x0002, 0x0202, std::string(100, 'd'), std::string(64, 's')};
    EXPECT_EQ(StartupMessage(info),
              u"Using:2.0/Max:2.2\r\n" + std::u16string(63, u'd') + u"\r\n" + std::u16string(63, u's'));
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
        EXPECT_TRUE(session.Connection.ReceiveThread.Running()) << int(mode);
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
        EXPECT_EQ(session.Connection.PeerState.load(), kNoPeer);
        EXPECT_EQ(TraceCount(session.Trace), 0);
    }
}

// One thread at a time; one that ended on its own is joined when its holder
// goes (one still running is left to the process end).
TEST(WorkerThread, StartsOnceAndIsJoinedWhenDone) {
    std::atomic<bool> release{false};
    auto worker = std::make_unique<WorkerThread>();
    EXPECT_EQ(worker->Start([&] { while (!release.load()) std::this_thread::yield(); }), 0);
    EXPECT_TRUE(worker->Running() && worker->Held());
    EXPECT_EQ(worker->Start([] {}), -1);
    release = true;
    ASSERT_TRUE(WaitUntil([&] { return !worker->Running(); }));
    worker.reset();
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

}  // namespace
