#include "macro/macro_file.h"

#include <string>

#include "common/program_context.h"
#include "platform/files.h"
#include "platform/text_file.h"
#include "platform/text.h"

namespace {

void Refuse(WindowHandle dialog, TextNumber text, std::u16string_view caption) {
    ShowAppMessage(dialog, text, kAppMessageOk, caption);
}

}  // namespace

MacroStartResult BeginMacroFromBytes(MacroRun& run, std::string_view bytes, WindowHandle owner) {
    if (bytes.size() > static_cast<size_t>(kMacroFileMaxBytes)) bytes = bytes.substr(0, kMacroFileMaxBytes);
    if (bytes.empty()) return MacroStartResult::Empty;
    if (bytes.size() < 2 || static_cast<uint8_t>(bytes[0]) != 0xFF || static_cast<uint8_t>(bytes[1]) != 0xFE)
        return MacroStartResult::NoByteOrderMark;
    // Only now does the running macro's text change.
    std::u16string text = u"\uFEFF" + DecodeTextBytes(bytes);
    BeginMacro(run, text.data(), static_cast<int32_t>(text.size()), owner);
    return MacroStartResult::Started;
}

bool StartMacroFile(MacroRun& run, WindowHandle dialog, std::u16string_view name, AppSettings& settings) {
    SetWorkingDirectory(TextView(g_Program.Directory));
    if (name.size() < 3) {
        Refuse(dialog, kTextMacroFileNameTooShort, u"MacroFile");
        return false;
    }
    std::string bytes;
    if (name.size() >= kMacroFileNameCapacity ||
        ReadFileHead(name, bytes, kMacroFileMaxBytes, kFileHeadExclusive | kFileHeadCreateMissing) !=
            FileReadResult::Ok) {
        Refuse(dialog, kTextCannotOpenLineOrMacroFile, u"FileError");
        return false;
    }
    CopyTextInto(settings.MacroFileName, name);
    switch (BeginMacroFromBytes(run, bytes, dialog)) {
    case MacroStartResult::Started:
        return true;
    case MacroStartResult::Empty:
        Refuse(dialog, kTextMacroFileEmpty, u"FileError");
        return false;
    default:
        Refuse(dialog, kTextEmptyOrNotUtf16, u"FileError");
        return false;
    }
}
