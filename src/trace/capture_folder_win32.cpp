#include "trace/capture_folder_win32.h"

#include <shlobj.h>

#include "common/text_table.h"
#include "platform/text.h"
#include "platform/wide_win32.h"

void ChooseCaptureFolder(HWND owner, const WindowCapture& capture) {
    std::u16string title = AppText(kTextCommandCaptureFolder);
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.lpszTitle = AsWide(title.c_str());
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (!chosen) return;
    wchar_t path[MAX_PATH] = {};
    bool ok = SHGetPathFromIDListW(chosen, path) != FALSE;
    CoTaskMemFree(chosen);
    if (ok) SetCaptureFolder(owner, std::u16string_view(reinterpret_cast<const char16_t*>(path)), capture);
}
