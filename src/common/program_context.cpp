#include "common/program_context.h"

#include <utility>

ProgramContext g_Program;

int ShowMessageBox(WindowHandle owner, std::u16string_view text, std::u16string_view caption, uint32_t style) {
    MessageBoxHost* host = g_Program.MessageBoxes;
    return (host ? *host : PlatformMessageBoxHost()).Show(owner, text, caption, style);
}

Launcher& CurrentLauncher() { return g_Program.Launches ? *g_Program.Launches : PlatformLauncher(); }

MessageBoxHost* SetMessageBoxHost(MessageBoxHost* host) { return std::exchange(g_Program.MessageBoxes, host); }
Launcher* SetLauncher(Launcher* launcher) { return std::exchange(g_Program.Launches, launcher); }
FileDialogHost* SetFileDialogHost(FileDialogHost* host) { return std::exchange(g_Program.FileDialogs, host); }
