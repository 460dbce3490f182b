// The "Connection" window shown while a TCP client waits for its connect.
#pragma once

// Makes the open use the window (called once at main-window creation).
void InstallConnectWaitWindow();
