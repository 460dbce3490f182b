#include "shell/menu_layout.h"

#include <iterator>

namespace {

using enum CommandAction;

constexpr CommandAction kFileItems[] = {SaveTrace, LoadTrace, ExportTrace, CaptureToFile, CaptureFolder, EndProgram};
constexpr CommandAction kViewItems[] = {Repaint,    ClearTrace,     ScrollForward,
                                        ScrollBack, JumpToLastLine, JumpToFirstLine};
constexpr CommandAction kSendItems[] = {InputSendDialog, PresetSendDialog, MacroDialog};
constexpr CommandAction kToolItems[] = {PresetEditDialog, Memo, MacroFileEditor};
constexpr CommandAction kConnectionItems[] = {ConnectionSettings, OpenConnection,   CloseConnection,
                                              HostName,           ReplyRulesDialog, ReplyAutomatically};
constexpr CommandAction kSettingItems[] = {EnvironmentDialog, DarkModeDialog, LanguageDialog, ColorDialog};
constexpr CommandAction kHelpItems[] = {AboutDialog, Manual, WebPage};

constexpr MenuPopupEntry kPopups[] = {
    {kTextMenuFile, kFileItems, false},
    {kTextMenuView, kViewItems, true},
    {kTextMenuSend, kSendItems, false},
    {kTextMenuTools, kToolItems, false},
    {kTextMenuConnection, kConnectionItems, false},
    {kTextMenuOptions, kSettingItems, false},
    {kTextMenuHelp, kHelpItems, false},
};

constexpr CommandAction kButtons[] = {
    SaveTrace,         LoadTrace,       ClearTrace,      ScrollForward,    ScrollBack,  JumpToLastLine,
    JumpToFirstLine,   Repaint,         InputSendDialog, PresetSendDialog, MacroDialog, ConnectionSettings,
    OpenConnection,    CloseConnection, HostName,        PresetEditDialog, Memo,        MacroFileEditor,
    EnvironmentDialog, DarkModeDialog,  LanguageDialog,  ColorDialog,      AboutDialog, Manual,
    WebPage,           EndProgram,
};
static_assert(std::size(kButtons) == kToolbarImages);

}  // namespace

std::span<const MenuPopupEntry> MenuPopups() { return kPopups; }
std::span<const CommandAction> ToolbarButtons() { return kButtons; }
