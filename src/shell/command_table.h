// Every user command of the main window: its menu id, toolbar id, text
// number (menu item and tooltip) and what it does.
#pragma once

#include <cstddef>
#include <span>

#include "common/text_numbers.h"

// The enumerators are always written CommandAction::X, so that they never
// hide the functions of the same name that carry them out (SaveTrace).
enum class CommandAction {
    SaveTrace,
    LoadTrace,
    EndProgram,
    Repaint,
    ClearTrace,
    ScrollForward,
    ScrollBack,
    JumpToLastLine,
    JumpToFirstLine,
    InputSendDialog,
    PresetSendDialog,
    MacroDialog,
    PresetEditDialog,
    Memo,
    MacroFileEditor,
    ConnectionSettings,
    OpenConnection,
    CloseConnection,
    HostName,
    EnvironmentDialog,
    DarkModeDialog,
    LanguageDialog,
    ColorDialog,
    AboutDialog,
    Manual,
    WebPage,
    ExportTrace,
    CaptureToFile,
    CaptureFolder,
};

struct CommandEntry {
    int menuId;
    int toolbarId;  // 0: a menu item only
    TextNumber textNumber;
    CommandAction action;
};

std::span<const CommandEntry> Commands();

// The command with this menu or toolbar id; nullptr for any other id.
const CommandEntry* FindCommand(int id);

// Whether a command (by menu or toolbar id) may be used in this connection
// state. Ids without a rule are always enabled.
bool IsCommandEnabled(int id, bool connectionOpen);

constexpr int kFirstCommandId = 201;
constexpr int kLastCommandId = 355;
constexpr int kFirstToolbarId = 330;
