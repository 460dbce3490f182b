#include "shell/restart.h"

#include "common/program_context.h"
#include "platform/launcher.h"
#include "platform/text.h"

std::u16string_view AskRestartTarget(WindowHandle owner) {
    int answer = ShowMessageBox(owner, u"YES=Reboot as administrator NO=Normal reboot", u"ReStart", kMbYesNo);
    return answer == kIdYes ? kAdministratorExecutable : kNormalExecutable;
}

void StartRelaunch(std::u16string_view executable) {
    CurrentLauncher().Open(nullptr, ProgramFilePath(kRelaunchTool), executable, TextView(g_Program.Directory));
}
