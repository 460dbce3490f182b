#include "shell/command_table.h"

namespace {

using enum CommandAction;

constexpr CommandEntry kCommands[] = {
    {201, 330, 210, SaveTrace},
    {202, 331, 211, LoadTrace},
    {203, 355, 212, EndProgram},
    {204, 332, 220, Repaint},
    {211, 333, 221, ClearTrace},
    {212, 334, 222, ScrollForward},
    {213, 335, 223, ScrollBack},
    {214, 336, 224, JumpToLastLine},
    {215, 337, 225, JumpToFirstLine},
    {221, 338, 230, InputSendDialog},
    {222, 339, 231, PresetSendDialog},
    {223, 340, 232, MacroDialog},
    {226, 345, 240, PresetEditDialog},
    {227, 346, 241, Memo},
    {228, 347, 242, MacroFileEditor},
    {231, 341, 250, ConnectionSettings},
    {232, 342, 251, OpenConnection},
    {233, 343, 252, CloseConnection},
    {234, 344, 253, HostName},
    {241, 348, 260, EnvironmentDialog},
    {242, 349, 261, DarkModeDialog},
    {243, 350, 262, LanguageDialog},
    {244, 351, 263, ColorDialog},
    {251, 352, 270, AboutDialog},
    {252, 353, 271, Manual},
    {253, 354, 272, WebPage},
    {205, 0, 213, ExportTrace},
    {206, 0, 214, CaptureToFile},
    {207, 0, 215, CaptureFolder},
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
