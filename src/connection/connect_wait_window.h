// The "Connection" window shown while a TCP client waits for its connect.
// The main window owns one and hands it to its connection.
#pragma once

#include <windows.h>

#include "connection/connection_state.h"

class ConnectWaitWindow : public ConnectWaitIndicator {
public:
    void Show(WindowHandle owner) override;
    void Close() override;

private:
    HWND window_ = nullptr;
};
