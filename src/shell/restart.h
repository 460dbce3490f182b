// The restart after the dark and light mode has changed: the user chooses a
// normal or an administrator restart, the main window shuts down in order,
// and the restart tool beside the program starts the chosen executable once
// this process has ended.
#pragma once

#include <string_view>

#include "platform/message_box.h"

constexpr std::u16string_view kRelaunchTool = u"relaunch.exe";
constexpr std::u16string_view kNormalExecutable = u"Lanvisor.exe";
constexpr std::u16string_view kAdministratorExecutable = u"LanvisorA.exe";

// Asks "normal or administrator?" and returns the executable to start.
std::u16string_view AskRestartTarget(WindowHandle owner);

// Hands the executable's name to the restart tool.
void StartRelaunch(std::u16string_view executable);
