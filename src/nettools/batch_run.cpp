#include "nettools/batch_run.h"

#include <string>

#include "common/app_settings.h"
#include "common/program_directory.h"
#include "nettools/autokey_settings.h"
#include "nettools/batch_files.h"
#include "nettools/run_as_administrator.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "platform/text.h"

namespace {

void StartAutokey(WindowHandle owner, int32_t dialogLeft, int32_t dialogTop) {
    if (!SaveAutokeySettings(g_Autokey, dialogLeft, dialogTop)) {
        // Without its file the tool would type stale values.
        ShowMessageBox(owner, u"Unable to write autokey.ini.", u"file error", kMbOk | kMbIconWarning);
        return;
    }
    CurrentLauncher().Open(owner, ProgramFilePath(kAutokeyProgramName), u"", TextView(g_ProgramDirectory));
}

}  // namespace

void RunBatchFile(WindowHandle owner, std::u16string_view selectedName, int32_t dialogLeft, int32_t dialogTop) {
    if (selectedName.empty()) {
        ShowMessageBox(owner, u"Please select an item.", u"listbox", kMbOk);
        return;
    }
    SetWorkingDirectory(TextView(g_ProgramDirectory));
    std::u16string path = BatchFilePath(selectedName);
    // Read before it runs: the elevated command interpreter must find the
    // file free, and the file is not changed by running it.
    std::string bytes;
    bool closeFailed = false;
    FileReadResult read = ReadFileHead(path, bytes, kBatchReadBackLimit, kFileHeadShared, &closeFailed);

    if (g_Settings.AutokeyOn == 1) StartAutokey(owner, dialogLeft, dialogTop);
    if (!RunAsAdministrator(owner, path)) return;  // the adapter keeps its address

    if (read != FileReadResult::Ok) {
        ShowMessageBox(owner, u"Unable to open the file.", u"file error", kMbOk | kMbIconWarning);
        return;
    }
    if (closeFailed) ShowMessageBox(owner, u"Unable to close the file.", u"file errer", kMbOk);
    BatchReadBack back = ReadBackBatch(bytes);
    if (back.kind != BatchReadBack::Fixed || back.count < 4) return;
    for (int i = 0; i < 4; ++i) g_Settings.AdapterIp[i] = back.numbers[i];
}
