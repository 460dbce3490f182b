#include "nettools/batch_run.h"

#include <string>

#include "common/program_context.h"
#include "nettools/batch_files.h"
#include "nettools/run_as_administrator.h"
#include "platform/files.h"
#include "platform/text.h"

namespace {

void StartAutokey(WindowHandle owner, BatchRunPlace place, const AutokeySettings& autokey) {
    if (!SaveAutokeySettings(autokey, place.dialogLeft, place.dialogTop)) {
        // Without its file the tool would type stale values.
        ShowMessageBox(owner, u"Unable to write autokey.ini.", u"file error", kMbOk | kMbIconWarning);
        return;
    }
    CurrentLauncher().Open(owner, ProgramFilePath(kAutokeyProgramName), u"", TextView(g_Program.Directory));
}

}  // namespace

void RunBatchFile(WindowHandle owner, std::u16string_view selectedName, BatchRunPlace place, AppSettings& settings,
                  const AutokeySettings& autokey) {
    if (selectedName.empty()) {
        ShowMessageBox(owner, u"Please select an item.", u"listbox", kMbOk);
        return;
    }
    SetWorkingDirectory(TextView(g_Program.Directory));
    std::u16string path = BatchFilePath(selectedName);
    // Read before it runs: the elevated command interpreter must find the
    // file free, and the file is not changed by running it.
    std::string bytes;
    bool closeFailed = false;
    FileReadResult read = ReadFileHead(path, bytes, kBatchReadBackLimit, kFileHeadShared, &closeFailed);

    if (settings.AutokeyOn == 1) StartAutokey(owner, place, autokey);
    if (!RunAsAdministrator(owner, path)) return;  // the adapter keeps its address

    if (read != FileReadResult::Ok) {
        ShowMessageBox(owner, u"Unable to open the file.", u"file error", kMbOk | kMbIconWarning);
        return;
    }
    if (closeFailed) ShowMessageBox(owner, u"Unable to close the file.", u"file errer", kMbOk);
    BatchReadBack back = ReadBackBatch(bytes);
    if (back.kind != BatchReadBack::Fixed || back.count < 4) return;
    for (int i = 0; i < 4; ++i) settings.AdapterIp[i] = back.numbers[i];
}
