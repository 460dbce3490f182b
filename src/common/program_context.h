// What every part of the program may read and whoever runs it sets up once:
// the interface texts and their language, the program folder, and the hosts
// that show message boxes, start programs and ask for file names (the
// platform's own unless the runner or a test puts others in). Everything of
// one connection belongs to its session instead; the window's own state to
// the window.
#pragma once

#include <cstdint>
#include <string_view>

#include "common/file_chooser.h"
#include "common/program_directory.h"
#include "common/text_table.h"
#include "platform/launcher.h"
#include "platform/message_box.h"

struct ProgramContext {
    TextTable Texts;
    int32_t Language = kJapanese;                   // CurrentLanguage
    char16_t Directory[kPathCapacity] = u"";        // ProgramDirectory
    MessageBoxHost* MessageBoxes = nullptr;         // nullptr: the platform's own
    Launcher* Launches = nullptr;                   // nullptr: the platform's own
    FileDialogHost* FileDialogs = nullptr;          // nullptr: every choice is a cancel
};

// The program's one context.
extern ProgramContext g_Program;

// Shows a box through the context's host.
int ShowMessageBox(WindowHandle owner, std::u16string_view text, std::u16string_view caption, uint32_t style);
// The launcher in use.
Launcher& CurrentLauncher();

// Put in another host, or nullptr for the platform's own; each returns the
// one it replaces.
MessageBoxHost* SetMessageBoxHost(MessageBoxHost* host);
Launcher* SetLauncher(Launcher* launcher);
FileDialogHost* SetFileDialogHost(FileDialogHost* host);
