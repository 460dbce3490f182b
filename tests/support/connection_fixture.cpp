#include "support/connection_fixture.h"

#include "support/trace_checker.h"

void ConnectionTest::SetUp() {
    for (int i = 0; i < 4; ++i) settings.AccessIp[i] = settings.AdapterIp[i] = (i == 0 ? 127 : i == 3 ? 1 : 0);
    ASSERT_TRUE(AllocateTrace(session.Trace));
}

void ConnectionTest::TearDown() {
    if (IsSessionOpen(session)) {
        boxes.Clear();
        CloseSession(session, nullptr);  // the recorder answers Yes to the client question
    }
    EXPECT_FALSE(IsSessionOpen(session));
}

void ConnectionTest::UseMode(ConnectionMode mode, uint16_t remotePort) {
    settings.TipUdpMode = (mode == ConnectionMode::UdpClient || mode == ConnectionMode::UdpServer) ? 1 : 0;
    settings.IpMode = IsServerMode(mode) ? 1 : 0;
    settings.AccessPort = remotePort;
    settings.AdapterPort = 0;  // servers take a free port
    settings.BindMode = IsServerMode(mode) ? 1 : 0;
}

void ConnectionTest::Open() { ASSERT_TRUE(OpenSession(session, settings, nullptr)) << "open failed"; }

void ConnectionTest::Close() { CloseSession(session, nullptr); }

uint16_t ConnectionTest::ServerPort() const {
    Ipv4Endpoint local;
    LocalEndpoint(session.Connection.MainSocket.load(), local);
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

int32_t ConnectionTest::Send(std::string_view text, int32_t client, AddressCells cells) {
    std::vector<uint8_t> bytes = Bytes(text);
    return SendAndRecord(session.Connection, session.Trace, bytes.data(), static_cast<int32_t>(bytes.size()), client,
                         cells);
}

size_t TraceBytes(const TraceBuffer& trace, TraceCellKind kind) {
    TraceCheck check = CheckTrace(SnapshotTrace(trace), false);
    size_t n = 0;
    for (const TraceBlock& b : check.blocks)
        if (b.kind == kind) n += b.bytes.size();
    return n;
}

bool ConnectionTest::WaitForTraceBytes(size_t count) {
    return WaitUntil([&] { return TraceBytes(session.Trace, Received) >= count; });
}
