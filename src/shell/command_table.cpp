#include "shell/command_table.h"

namespace {

using enum CommandAction;

constexpr CommandEntry kCommands[] = {
    {201, 330, kTextCommandSaveLog, SaveTrace},
    {202, 331, kTextCommandOpenLog, LoadTrace},
    {203, 355, kTextCommandExit, EndProgram},
    {204, 332, kTextCommandRedraw, Repaint},
    {211, 333, kTextCommandClearLog, ClearTrace},
    {212, 334, kTextCommandScrollToNewer, ScrollForward},
    {213, 335, kTextCommandScrollToOlder, ScrollBack},
    {214, 336, kTextCommandGoToLastLine, JumpToLastLine},
    {215, 337, kTextCommandGoToFirstLine, JumpToFirstLine},
    {221, 338, kTextCommandTypeAndSend, InputSendDialog},
    {222, 339, kTextCommandSendPresets, PresetSendDialog},
    {223, 340, kTextCommandRunMacro, MacroDialog},
    {226, 345, kTextCommandEditPresets, PresetEditDialog},
    {227, 346, kTextCommandMemo, Memo},
    {228, 347, kTextCommandEditMacroFile, MacroFileEditor},
    {231, 341, kTextCommandConnectionSettings, ConnectionSettings},
    {232, 342, kTextCommandConnect, OpenConnection},
    {233, 343, kTextCommandDisconnect, CloseConnection},
    {234, 344, kTextCommandHostName, HostName},
    {241, 348, kTextCommandPreferences, EnvironmentDialog},
    {242, 349, kTextCommandDarkLightMode, DarkModeDialog},
    {243, 350, kTextCommandLanguage, LanguageDialog},
    {244, 351, kTextCommandColorSettings, ColorDialog},
    {251, 352, kTextCommandAbout, AboutDialog},
    {252, 353, kTextCommandManual, Manual},
    {253, 354, kTextCommandWebsite, WebPage},
    {205, 0, kTextCommandExport, ExportTrace},
    {206, 0, kTextCommandCaptureToFile, CaptureToFile},
    {207, 0, kTextCommandCaptureFolder, CaptureFolder},
};

enum class Availability { Always, WhileClosed, WhileOpen };

Availability AvailabilityOf(CommandAction action) {
    switch (action) {
    case Repaint:
    case ScrollForward:
    case ScrollBack:
    case JumpToLastLine:
    case JumpToFirstLine:
    case ConnectionSettings:
    case OpenConnection:
    case EnvironmentDialog:
        return Availability::WhileClosed;
    case InputSendDialog:
    case PresetSendDialog:
    case MacroDialog:
    case CloseConnection:
        return Availability::WhileOpen;
    default:
        return Availability::Always;
    }
}

}  // namespace

std::span<const CommandEntry> Commands() { return kCommands; }

const CommandEntry* FindCommand(int id) {
    for (const CommandEntry& entry : kCommands)
        if (id != 0 && (entry.menuId == id || entry.toolbarId == id)) return &entry;
    return nullptr;
}

bool IsCommandEnabled(int id, bool connectionOpen) {
    const CommandEntry* entry = FindCommand(id);
    if (!entry) return true;
    switch (AvailabilityOf(entry->action)) {
    case Availability::WhileClosed:
        return !connectionOpen;
    case Availability::WhileOpen:
        return connectionOpen;
    case Availability::Always:
        break;
    }
    return true;
}
