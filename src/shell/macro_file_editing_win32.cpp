#include "shell/macro_file_editing_win32.h"

#include <commdlg.h>

#include "common/help_commands.h"
#include "common/program_context.h"
#include "platform/text.h"
#include "platform/wide_win32.h"

void EditMacroFiles(HWND owner) {
    SetCurrentDirectoryW(AsWide(g_Program.Directory));
    // Multiple selection: a chosen file's full path, or the folder and then
    // the names, each ended by a zero.
    char16_t result[kPathCapacity] = {};
    CopyTextInto(result, CutText(ProgramFilePath(u"*.txt"), kPathCapacity - 1));
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = L"Text(*.txt)\0*.txt\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = AsWide(result);
    ofn.nMaxFile = kPathCapacity;
    ofn.lpstrTitle = L"MACROファイル編集";
    ofn.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT;
    if (!GetOpenFileNameW(&ofn)) return;
    OpenChosenFiles(owner, std::u16string_view(result, kPathCapacity));
}

void EditTextFile(HWND owner, std::u16string_view path) {
    constexpr intptr_t kOpened = 32;  // ShellExecute's results above this mean success
    if (CurrentLauncher().Open(owner, path, u"", u"") > kOpened) return;
    CurrentLauncher().Open(owner, u"notepad.exe", u"\"" + std::u16string(path) + u"\"", u"");
}
