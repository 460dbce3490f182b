// Program entry: the dark-mode file, the main window, the message loop.
#include <windows.h>

#include <cstdlib>

#include "appearance/dark_mode.h"
#include "common/program_context.h"
#include "connection/connection_state.h"
#include "platform/text.h"
#include "resources/resource_ids.h"
#include "shell/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // The mode file lies beside the program (not in whatever folder the
    // program was started from), where the dark-mode dialog writes it.
    ComputeProgramDirectory();
    g_Appearance = ReadDarkModeFile(TextView(g_Program.Directory));
    auto state = std::make_unique<WindowState>();
    if (!CreateMainWindow(instance, showCommand, *state)) return 0;
    // The resources define no accelerators; the table is looked up all the same.
    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDS_WINDOW_CLASS));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (accelerators && TranslateAcceleratorW(message.hwnd, accelerators, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // A close the user declined at shutdown leaves the receive thread
    // running on the trace and the connection: end the process without
    // tearing down what it still uses.
    if (state->Engine.Connection.ReceiveThread.Running()) std::_Exit(static_cast<int>(message.wParam));
    return static_cast<int>(message.wParam);
}
