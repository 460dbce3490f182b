// A fresh connection world for one test: its own session, settings pointing
// at 127.0.0.1, recorded message boxes, and whatever connection the test
// opened closed again at the end.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/app_settings.h"
#include "connection/send_data.h"
#include "session/session.h"
#include "support/loopback_peer.h"
#include "support/recording_message_box.h"

class ConnectionTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Settings for a mode; servers listen on a free port of 127.0.0.1.
    void UseMode(ConnectionMode mode, uint16_t remotePort = 0);
    // Opens the session with the settings; fails the test unless it opened.
    void Open();
    void Close();
    // The port the open server listens on.
    uint16_t ServerPort() const;

    // Captions (and texts) of the boxes shown so far, then forgets them.
    std::vector<std::u16string> TakeCaptions();
    std::vector<RecordingMessageBox::Shown> TakeBoxes();

    // The send path on the session's connection and trace.
    int32_t Send(std::string_view text, int32_t client = 0, AddressCells cells = AddressCells::OnlyWhenSent);

    // Blocks in the trace once it holds at least `count` data bytes.
    bool WaitForTraceBytes(size_t count);

    SocketLibraryUse library;
    RecordingMessageBox boxes;
    AppSettings settings;
    Session session;
};

// Data bytes recorded with the given kind.
size_t TraceBytes(const TraceBuffer& trace, TraceCellKind kind);
