#include "shell/command_table.h"

#include <iterator>

#include "resources/resource_ids.h"

namespace {

using enum CommandAction;
using enum Availability;

// Action, menu id, toolbar id, image, text, availability of the menu item
// and of the button; in the order of CommandAction, so that an action finds
// its row directly.
constexpr CommandEntry kCommands[] = {
    {SaveTrace, IDM_SAVE_LOG, IDTB_SAVE_LOG, 0, kTextCommandSaveLog, Always, Always},
    {LoadTrace, IDM_OPEN_LOG, IDTB_OPEN_LOG, 1, kTextCommandOpenLog, Always, Always},
    {EndProgram, IDM_EXIT, IDTB_EXIT, 25, kTextCommandExit, Always, Always},
    {Repaint, IDM_REDRAW, IDTB_REDRAW, 7, kTextCommandRedraw, WhileClosed, WhileClosed},
    {ClearTrace, IDM_CLEAR_LOG, IDTB_CLEAR_LOG, 2, kTextCommandClearLog, Always, Always},
    {ScrollForward, IDM_SCROLL_NEWER, IDTB_SCROLL_NEWER, 3, kTextCommandScrollToNewer, WhileClosed, WhileClosed},
    {ScrollBack, IDM_SCROLL_OLDER, IDTB_SCROLL_OLDER, 4, kTextCommandScrollToOlder, WhileClosed, WhileClosed},
    {JumpToLastLine, IDM_LAST_LINE, IDTB_LAST_LINE, 5, kTextCommandGoToLastLine, WhileClosed, WhileClosed},
    {JumpToFirstLine, IDM_FIRST_LINE, IDTB_FIRST_LINE, 6, kTextCommandGoToFirstLine, WhileClosed, WhileClosed},
    {InputSendDialog, IDM_TYPE_AND_SEND, IDTB_TYPE_AND_SEND, 8, kTextCommandTypeAndSend, WhileOpen, WhileOpen},
    {PresetSendDialog, IDM_SEND_PRESETS, IDTB_SEND_PRESETS, 9, kTextCommandSendPresets, WhileOpen, WhileOpen},
    {MacroDialog, IDM_RUN_MACRO, IDTB_RUN_MACRO, 10, kTextCommandRunMacro, WhileOpen, WhileOpen},
    {PresetEditDialog, IDM_EDIT_PRESETS, IDTB_EDIT_PRESETS, 15, kTextCommandEditPresets, Always, Always},
    {Memo, IDM_MEMO, IDTB_MEMO, 16, kTextCommandMemo, Always, Always},
    {MacroFileEditor, IDM_EDIT_MACRO_FILE, IDTB_EDIT_MACRO_FILE, 17, kTextCommandEditMacroFile, Always, Always},
    {ConnectionSettings, IDM_CONNECTION_SETTINGS, IDTB_CONNECTION_SETTINGS, 11, kTextCommandConnectionSettings,
     WhileClosed, WhileClosed},
    {OpenConnection, IDM_CONNECT, IDTB_CONNECT, 12, kTextCommandConnect, WhileClosed, WhileClosed},
    {CloseConnection, IDM_DISCONNECT, IDTB_DISCONNECT, 13, kTextCommandDisconnect, WhileOpen, WhileOpen},
    {HostName, IDM_HOST_NAME, IDTB_HOST_NAME, 14, kTextCommandHostName, Always, Always},
    // The preferences stay at hand from the toolbar while connected.
    {EnvironmentDialog, IDM_PREFERENCES, IDTB_PREFERENCES, 18, kTextCommandPreferences, WhileClosed, Always},
    {DarkModeDialog, IDM_DARK_LIGHT_MODE, IDTB_DARK_LIGHT_MODE, 19, kTextCommandDarkLightMode, Always, Always},
    {LanguageDialog, IDM_LANGUAGE, IDTB_LANGUAGE, 20, kTextCommandLanguage, Always, Always},
    {ColorDialog, IDM_COLOR_SETTINGS, IDTB_COLOR_SETTINGS, 21, kTextCommandColorSettings, Always, Always},
    {AboutDialog, IDM_ABOUT, IDTB_ABOUT, 22, kTextCommandAbout, Always, Always},
    {Manual, IDM_MANUAL, IDTB_MANUAL, 23, kTextCommandManual, Always, Always},
    {WebPage, IDM_WEBSITE, IDTB_WEBSITE, 24, kTextCommandWebsite, Always, Always},
    {ExportTrace, IDM_EXPORT, kNoButton, kNoImage, kTextCommandExport, Always, Always},
    {CaptureToFile, IDM_CAPTURE_TO_FILE, kNoButton, kNoImage, kTextCommandCaptureToFile, Always, Always},
    {CaptureFolder, IDM_CAPTURE_FOLDER, kNoButton, kNoImage, kTextCommandCaptureFolder, Always, Always},
    {ReplyRulesDialog, IDM_REPLY_RULES, kNoButton, kNoImage, kTextCommandReplyRules, Always, Always},
    {ReplyAutomatically, IDM_REPLY_AUTOMATICALLY, kNoButton, kNoImage, kTextCommandReplyAutomatically, Always, Always},
};

constexpr bool RowsInActionOrder() {
    for (size_t i = 0; i < std::size(kCommands); ++i)
        if (kCommands[i].action != static_cast<CommandAction>(i)) return false;
    return std::size(kCommands) == static_cast<size_t>(ReplyAutomatically) + 1;
}
static_assert(RowsInActionOrder());

bool Allows(Availability availability, bool connectionOpen) {
    switch (availability) {
    case WhileClosed: return !connectionOpen;
    case WhileOpen: return connectionOpen;
    case Always: break;
    }
    return true;
}

}  // namespace

std::span<const CommandEntry> Commands() { return kCommands; }

const CommandEntry& CommandFor(CommandAction action) { return kCommands[static_cast<size_t>(action)]; }

const CommandEntry* FindCommand(int id) {
    for (const CommandEntry& entry : kCommands)
        if (id != kNoButton && (entry.menuId == id || entry.toolbarId == id)) return &entry;
    return nullptr;
}

bool IsCommandEnabled(int id, bool connectionOpen) {
    const CommandEntry* entry = FindCommand(id);
    if (!entry) return true;
    return Allows(id == entry->toolbarId ? entry->button : entry->menuItem, connectionOpen);
}
