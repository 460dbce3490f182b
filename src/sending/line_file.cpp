#include "sending/line_file.h"

#include <string>

#include "common/program_context.h"
#include "platform/files.h"
#include "platform/text.h"
#include "sending/line_file_format.h"

namespace {

bool SaveLines(WindowHandle owner, std::u16string_view path, std::span<const LineEntry> lines) {
    // A relative name is a file in the program folder.
    SetWorkingDirectory(TextView(g_Program.Directory));
    std::u16string name = LineFileName(path);
    bool notFinished = false;
    if (WriteFileBytes(name, LineFileBytes(lines), &notFinished)) return true;
    if (notFinished) ShowMessageBox(owner, name, u"CloseHandle-errer", kMbOk);
    else ShowAppMessage(owner, kTextCannotOpenLineOrMacroFile, kAppMessageOk, u"CreateFile");
    return false;
}

template <int32_t U, int32_t A>
bool LoadLines(WindowHandle owner, std::u16string_view path, LineTable<U, A>& table) {
    SetWorkingDirectory(TextView(g_Program.Directory));
    std::string bytes;
    bool closeFailed = false;
    // Exclusive, so that a file still being written is not read half-way.
    FileReadResult result = ReadFileHead(path, bytes, kLineFileReadLimit,
                                         kFileHeadExclusive | kFileHeadCreateMissing, &closeFailed);
    if (result != FileReadResult::Ok) {
        ShowAppMessage(owner, kTextCannotOpenLineOrMacroFile, kAppMessageOk, u"CreateFile");
        return false;
    }
    bool read = ReadLineFileBytes(bytes, table);
    if (!read) ShowAppMessage(owner, kTextEmptyOrNotUtf16, kAppMessageOk, u"FileError");
    if (closeFailed) ShowMessageBox(owner, path, u"CloseHandle-errer", kMbOk);
    return read;
}

}  // namespace

bool ChooseLineFile(WindowHandle owner, char16_t (&path)[kLineFilePathCapacity], bool save) {
    return ChooseFile(owner, save ? kChooseSaveLines : kChooseOpenLines, path);
}

bool SaveLineFile(WindowHandle owner, std::u16string_view path, const SendHistory& history) {
    return SaveLines(owner, path, history.Lines());
}

bool SaveLineFile(WindowHandle owner, std::u16string_view path, const PresetEditTable& presets) {
    return SaveLines(owner, path, presets.Lines());
}

bool LoadPresetFile(WindowHandle owner, std::u16string_view nameOrPath, bool inProgramDirectory, PresetTable& table) {
    if (!inProgramDirectory) return LoadLines(owner, nameOrPath, table);
    return LoadLines(owner, ProgramFilePath(nameOrPath), table);
}

bool LoadPresetEditFile(WindowHandle owner, std::u16string_view path, PresetEditTable& table) {
    return LoadLines(owner, path, table);
}
