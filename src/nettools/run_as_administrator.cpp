#include "nettools/run_as_administrator.h"

#include "common/program_context.h"
#include "platform/text.h"

bool RunAsAdministrator(WindowHandle owner, std::u16string_view filePath) {
    if (CurrentLauncher().RunAsAdministrator(owner, filePath)) return true;
    std::u16string text = FormatString(u"%s could not be started as administrator", {filePath});
    ShowMessageBox(owner, text, u"Error", kMbOk | kMbIconError);
    return false;
}
