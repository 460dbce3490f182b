// Every user command of the main window, one row each: its menu item and
// toolbar button, its text (menu item and tooltip), its image, when it may
// be used, and the action that carries it out. The actions themselves are
// Win32 work, run by RunMainCommand (command_dispatch.h).
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
    ReplyRulesDialog,
    ReplyAutomatically,
};

// When a menu item or toolbar button may be used, by the connection state.
enum class Availability { Always, WhileClosed, WhileOpen };

constexpr int kNoButton = 0;
constexpr int kNoImage = -1;

struct CommandEntry {
    CommandAction action;
    int menuId;
    int toolbarId;          // kNoButton: a menu item only
    int image;              // in the toolbar strips, also beside the menu item; kNoImage: none
    TextNumber textNumber;  // the menu item, also the button's tooltip
    Availability menuItem;
    Availability button;  // may differ from the menu item's
};

std::span<const CommandEntry> Commands();

const CommandEntry& CommandFor(CommandAction action);

// The command with this menu or toolbar id; nullptr for any other id.
const CommandEntry* FindCommand(int id);

// Whether the menu item or toolbar button with this id may be used in this
// connection state. Ids of no command are always enabled.
bool IsCommandEnabled(int id, bool connectionOpen);
