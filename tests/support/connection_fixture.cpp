#include "support/connection_fixture.h"

#include "support/trace_checker.h"

void ConnectionTest::SetUp() {
    savedSettings = g_Settings;
    g_Settings = AppSettings{};
    for (int i = 0; i < 4; ++i) g_Settings.AccessIp[i] = g_Settings.AdapterIp[i] = (i == 0 ? 127 : i == 3 ? 1 : 0);
    ASSERT_TRUE(AllocateTrace(g_Trace));
    ClearTrace(g_Trace);
    g_Connection.PeerState.store(kNoPeer);
    MarkReceived(g_Connection);
}

void ConnectionTest::TearDown() {
    if (IsConnectionActive()) {
        boxes.Clear();
        CloseConnection(nullptr);  // the recorder answers Yes to the client question
    }
    EXPECT_FALSE(IsConnectionActive());
    FreeTrace(g_Trace);
    g_Settings = savedSettings;
}

void ConnectionTest::UseMode(ConnectionMode mode, uint16_t remotePort) {
    g_Settings.TipUdpMode = (mode == ConnectionMode::UdpClient || mode == ConnectionMode::UdpServer) ? 1 : 0;
    g_Settings.IpMode = IsServerMode(mode) ? 1 : 0;
    g_Settings.AccessPort = remotePort;
    g_Settings.AdapterPort = 0;  // servers take a free port
    g_Settings.BindMode = IsServerMode(mode) ? 1 : 0;
}

void ConnectionTest::Open() { ASSERT_TRUE(OpenConnection(nullptr)) << "open failed"; }

void ConnectionTest::Close() { CloseConnection(nullptr); }

uint16_t ConnectionTest::ServerPort() const {
    Ipv4Endpoint local;
    LocalEndpoint(g_Connection.MainSocket.load(), local);
    return local.port;
}

std::vector<std::u16string> ConnectionTest::TakeCaptions() {
    std::vector<std::u16string> captions;
    for (const auto& b : boxes.Boxes()) captions.push_back(b.caption);
    boxes.Clear();
    return captions;
}

std::vector<RecordingMessageBox::Shown> ConnectionTest::TakeBoxes() {
    auto shown = boxes.Boxes();
    boxes.Clear();
    return shown;
}

size_t TraceBytes(TraceCellKind kind) {
    TraceCheck check = CheckTrace(SnapshotTrace(g_Trace), false);
    size_t n = 0;
    for (const TraceBlock& b : check.blocks)
        if (b.kind == kind) n += b.bytes.size();
    return n;
}

bool ConnectionTest::WaitForTraceBytes(size_t count) {
    return WaitUntil([&] { return TraceBytes(Received) >= count; });
}
