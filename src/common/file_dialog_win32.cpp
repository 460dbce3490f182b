#include "common/file_dialog_win32.h"

#include <windows.h>
#include <commdlg.h>

#include "common/program_context.h"
#include "platform/text.h"
#include "platform/wide_win32.h"

namespace {

class CommonFileDialogHost final : public FileDialogHost {
public:
    bool Show(WindowHandle owner, const FileDialogSpec& kind, std::u16string_view title,
              std::u16string& path) override {
        char16_t file[kChooseFileCapacity] = {};
        CopyTextInto(file, CutText(path, kChooseFileCapacity - 1));
        // The filter list holds zeros between its entries; the copy keeps them
        // all and adds the final one.
        std::u16string filter(kind.filter);
        std::u16string titleText(title);
        OPENFILENAMEW ofn = {};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = static_cast<HWND>(owner);
        ofn.lpstrFilter = AsWide(filter.c_str());
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = AsWide(file);
        ofn.nMaxFile = kChooseFileCapacity;
        ofn.lpstrTitle = AsWide(titleText.c_str());
        // An export's format is its file type: a name typed without one gets
        // the extension of the type chosen in the list.
        if (kind.typeFromList) ofn.lpstrDefExt = L"txt";
        // A save names a file that need not exist yet (the default Temp1.log
        // on a first save); an open only takes an existing one.
        ofn.Flags = OFN_HIDEREADONLY | (kind.save ? 0 : OFN_FILEMUSTEXIST);
        BOOL chosen = kind.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
        if (!chosen) return false;
        path.assign(TextView(file));
        return true;
    }
};

CommonFileDialogHost commonFileDialog;

}  // namespace

void InstallFileDialogHost() { SetFileDialogHost(&commonFileDialog); }
